#include "app/shell/status_pane.h"

#include <QEvent>
#include <QPainter>

CStatusPane::CStatusPane(bool keepLongest, QWidget* parent) : QWidget(parent), m_bKeepLongest(keepLongest) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CStatusPane::SetText(const QString& text) {
    if (text == m_strText) return;
    m_strText = text;
    if (m_bKeepLongest)
        Widen(text);
    else
        updateGeometry();
    UpdateTip();
    update();
}

void CStatusPane::ReserveFor(const QString& text) { Widen(text); }

void CStatusPane::Widen(const QString& text) {
    if (fontMetrics().horizontalAdvance(text) <= fontMetrics().horizontalAdvance(m_strLongest)) return;
    m_strLongest = text;
    updateGeometry();
}

QString CStatusPane::GetShownText() const {
    return fontMetrics().elidedText(m_strText, Qt::ElideRight, contentsRect().width());
}

QSize CStatusPane::sizeHint() const {
    const QString& widest = m_bKeepLongest ? m_strLongest : m_strText;
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(widest) + m.left() + m.right(),
            fontMetrics().height() + m.top() + m.bottom()};
}

// The bar may squeeze a pane to the "…" of its text rather than grow past the window.
QSize CStatusPane::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + m.left() + m.right(), sizeHint().height()};
}

void CStatusPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, GetShownText());
}

void CStatusPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateTip();
}

void CStatusPane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The widths were measured in the old font.
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        UpdateTip();
    }
}

void CStatusPane::UpdateTip() { setToolTip(GetShownText() == m_strText ? QString() : m_strText); }
