#include "app/views/hidden_column_grip.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

CHiddenColumnGrip::CHiddenColumnGrip(QHeaderView* header) : QObject(header), m_pHeader(header) {
    header->viewport()->installEventFilter(this);
    header->viewport()->setMouseTracking(true);
}

int CHiddenColumnGrip::HiddenColumnAt(int x) const {
    for (int visual = 0; visual < m_pHeader->count(); ++visual) {
        const int column = m_pHeader->logicalIndex(visual);
        if (m_pHeader->isSectionHidden(column) || m_pHeader->sectionSize(column) != 0) continue;
        const int divider = m_pHeader->sectionViewportPosition(column);
        if (x > divider && x <= divider + kGripWidth) return column;
    }
    return -1;
}

bool CHiddenColumnGrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_pHeader->viewport()) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const int x = mouse->position().toPoint().x();
        m_nColumn = HiddenColumnAt(x);
        if (m_nColumn < 0) return false;
        m_nLeft = m_pHeader->sectionViewportPosition(m_nColumn);
        return true;
    }
    case QEvent::MouseMove: {
        const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
        if (m_nColumn >= 0) {
            m_pHeader->resizeSection(m_nColumn, std::max(0, x - m_nLeft));
            return true;
        }
        // Over a grip the cursor says that it can be dragged.
        const bool over = HiddenColumnAt(x) >= 0;
        if (over != m_bCursor) {
            if (over)
                m_pHeader->setCursor(Qt::SplitHCursor);
            else
                m_pHeader->unsetCursor();
            m_bCursor = over;
        }
        return over;
    }
    case QEvent::MouseButtonRelease:
        if (m_nColumn < 0) return false;
        m_nColumn = -1;
        return true;
    default: return false;
    }
}
