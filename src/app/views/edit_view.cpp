#include "app/views/edit_view.h"

#include <QApplication>
#include <QFont>

#include "app/shell/qcodec.h"
#include "core/library/title_doc.h"
#include "core/text/entities.h"

CRDEditView::CRDEditView(const CRDTitleDoc& doc, QWidget* parent) : QPlainTextEdit(parent), m_doc(doc) {
    setObjectName(QStringLiteral("EditView"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    // The text stands on the normal window background, not a read-only grey.
    QPalette pal = palette();
    const QColor base = QApplication::palette().color(QPalette::Active, QPalette::Base);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, base);
    setPalette(pal);

    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(9);
    setFont(font);
}

void CRDEditView::Refresh() {
    // The file keeps the references as received; the user reads and copies characters.
    QString text = lv::app::ToQ(lv::text::DecodeHtmlEntities(m_doc.GetDescription()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
}
