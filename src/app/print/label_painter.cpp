#include "app/print/label_painter.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include "app/shell/qcodec.h"
#include "core/views/columns.h"

using lv::app::ToQ;

namespace {

constexpr double kInset = 5;  // mm between the cut line and the text
constexpr double kLargestPt = 9, kSmallestPt = 5;

QFont LabelFont(double pt, bool bold = false) {
    QFont font = QApplication::font();
    // A Japanese face on every system, else the window's own.
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Meiryo"), QStringLiteral("MS Gothic"), QStringLiteral("ＭＳ ゴシック"),
                      font.family()});
    font.setPointSizeF(pt);
    font.setBold(bold);
    return font;
}

struct ENTRY {
    QString title;
    QString detail;  // date, start time, genre
};

class CInsertPainter {
public:
    CInsertPainter(QPainter& painter, QPrinter& printer)
        : m_p(painter), m_device(printer), m_k(printer.resolution() / 25.4) {}

    void Paint(const DISC_LABEL& label, const CASE_INSERT& insert) {
        PaintLines(insert);
        const QRectF front = Inner(insert.front);
        const QString name = label.strLabel.empty() ? ToQ(label.strDiscNo) : ToQ(label.strLabel);
        const QString number = ToQ(label.strRDName) + QLatin1Char(' ') + ToQ(label.strDiscNo);
        double top = PaintHeading(front, name, number, label);

        std::vector<ENTRY> entries;
        for (const LABEL_TITLE& t : label.aTitles)
            entries.push_back({ToQ(t.strTitle), ToQ(t.strDate) + QStringLiteral("  ") + ToQ(t.strGenre)});
        // The list on the back where there is one, going on below the front's heading.
        std::vector<QRectF> boxes;
        if (insert.back.w > 0) boxes.push_back(Inner(insert.back));
        boxes.push_back(QRectF(front.left(), top, front.width(), front.bottom() - top));
        PaintList(boxes, entries);
        if (insert.spine.w > 0) PaintSpine(insert.spine, name + QStringLiteral("  ") + number);
    }

private:
    double Px(double mm) const { return mm * m_k; }
    QRectF Rect(const MM_RECT& r) const { return {Px(r.x), Px(r.y), Px(r.w), Px(r.h)}; }
    QRectF Inner(const MM_RECT& r) const { return Rect(r).adjusted(Px(kInset), Px(kInset), -Px(kInset), -Px(kInset)); }
    QFontMetricsF Metrics(const QFont& font) const { return QFontMetricsF(font, &m_device); }

    void PaintLines(const CASE_INSERT& insert) {
        QPen pen(QColor(0x99, 0x99, 0x99));
        pen.setWidthF(Px(0.2));
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(Rect({0, 0, insert.dWidth, insert.dHeight}));
        if (insert.spine.w <= 0) return;
        pen.setStyle(Qt::DashLine);
        m_p.setPen(pen);
        for (double x : {insert.spine.x, insert.spine.x + insert.spine.w})
            m_p.drawLine(QPointF(Px(x), 0), QPointF(Px(x), Px(insert.dHeight)));
    }

    // The disc's name large, its recorder and number, remaining time and
    // count of titles; gives where the list below may begin.
    double PaintHeading(const QRectF& box, const QString& name, const QString& number, const DISC_LABEL& label) {
        const int flags = Qt::TextWordWrap | Qt::TextWrapAnywhere;
        double pt = 18;
        QFont big = LabelFont(pt, true);
        // At most three lines of the name.
        while (pt > 9 && Metrics(big).boundingRect(box, flags, name).height() > Metrics(big).lineSpacing() * 3)
            big = LabelFont(pt -= 1, true);
        m_p.setPen(Qt::black);
        m_p.setFont(big);
        QRectF used;
        m_p.drawText(box, flags, name, &used);
        double top = used.bottom() + Px(2);
        const QFont small = LabelFont(9);
        m_p.setFont(small);
        const QString info = number + QStringLiteral("    ") + ToQ(ColumnHeader(8)) + QLatin1Char(' ') +
                             ToQ(label.strFree) + QStringLiteral("    ") +
                             QStringLiteral("%1 ﾀｲﾄﾙ").arg(static_cast<qulonglong>(label.aTitles.size()));
        m_p.drawText(QRectF(box.left(), top, box.width(), box.bottom() - top), flags, info, &used);
        top = used.bottom() + Px(1.5);
        QPen rule(Qt::black);
        rule.setWidthF(Px(0.3));
        m_p.setPen(rule);
        m_p.drawLine(QPointF(box.left(), top), QPointF(box.right(), top));
        return top + Px(2);
    }

    // How many entries the boxes take at a size, painting them when asked.
    std::size_t Flow(const std::vector<QRectF>& boxes, const std::vector<ENTRY>& entries, double pt, bool paint,
                     double reserve = 0) {
        const QFont title = LabelFont(pt), detail = LabelFont(pt * 0.85);
        const QFontMetricsF tm = Metrics(title), dm = Metrics(detail);
        const int flags = Qt::TextWordWrap | Qt::TextWrapAnywhere;
        std::size_t n = 0;
        for (std::size_t b = 0; b < boxes.size() && n < entries.size(); ++b) {
            const QRectF& box = boxes[b];
            double y = box.top();
            const double bottom = box.bottom() - (b + 1 == boxes.size() ? reserve : 0);
            for (; n < entries.size(); ++n) {
                const double h = tm.boundingRect(QRectF(0, 0, box.width(), 1e9), flags, entries[n].title).height();
                if (y + h + dm.lineSpacing() > bottom) break;
                if (paint) {
                    m_p.setFont(title);
                    m_p.setPen(Qt::black);
                    m_p.drawText(QRectF(box.left(), y, box.width(), h), flags, entries[n].title);
                    m_p.setFont(detail);
                    m_p.setPen(QColor(0x44, 0x44, 0x44));
                    m_p.drawText(QRectF(box.left(), y + h, box.width(), dm.lineSpacing()), Qt::TextSingleLine,
                                 dm.elidedText(entries[n].detail, Qt::ElideRight, box.width()));
                }
                y += h + dm.lineSpacing() + Px(0.8);
            }
        }
        return n;
    }

    // The largest size at which every title fits; at the smallest, those that
    // fit and a line saying how many are left out.
    void PaintList(const std::vector<QRectF>& boxes, const std::vector<ENTRY>& entries) {
        for (int halves = static_cast<int>(kLargestPt * 2); halves >= static_cast<int>(kSmallestPt * 2); --halves) {
            const double pt = halves / 2.0;
            if (Flow(boxes, entries, pt, false) == entries.size()) {
                Flow(boxes, entries, pt, true);
                return;
            }
        }
        const QFont font = LabelFont(kSmallestPt);
        const double line = Metrics(font).lineSpacing();
        const std::size_t shown = Flow(boxes, entries, kSmallestPt, true, line);
        const QRectF& last = boxes.back();
        m_p.setFont(font);
        m_p.setPen(Qt::black);
        m_p.drawText(QRectF(last.left(), last.bottom() - line, last.width(), line), Qt::AlignRight,
                     QStringLiteral("ほか %1 ﾀｲﾄﾙ").arg(static_cast<qulonglong>(entries.size() - shown)));
    }

    // Read with the case standing on a shelf: the text runs down the spine.
    void PaintSpine(const MM_RECT& spine, const QString& text) {
        const QRectF r = Rect(spine);
        QFont font = LabelFont(std::min(10.0, spine.w * 0.5 * 72 / 25.4), true);
        const double length = r.height() - 2 * Px(kInset);
        m_p.save();
        m_p.translate(r.center());
        m_p.rotate(90);
        m_p.setFont(font);
        m_p.setPen(Qt::black);
        const QRectF line(-length / 2, -r.width() / 2, length, r.width());
        m_p.drawText(line, Qt::AlignCenter, Metrics(font).elidedText(text, Qt::ElideRight, length));
        m_p.restore();
    }

    QPainter& m_p;
    QPrinter& m_device;
    double m_k;  // device pixels a millimetre
};

}  // namespace

void SetUpLabelPrinter(QPrinter& printer) {
    printer.setDocName(QStringLiteral("ﾃﾞｨｽｸﾗﾍﾞﾙ"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
}

bool PaintDiscLabels(QPrinter& printer, const std::vector<DISC_LABEL>& labels, CASE_KIND kind) {
    const CASE_INSERT& insert = CaseInsert(kind);
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    const SHEET_LAYOUT sheet = LayOutSheet(area.width(), area.height(), insert);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    CInsertPainter paint(painter, printer);
    const double k = printer.resolution() / 25.4;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::size_t slot = i % sheet.aSlots.size();
        if (slot == 0 && i > 0 && !printer.newPage()) return false;
        const MM_RECT& s = sheet.aSlots[slot];
        painter.save();
        painter.translate(s.x * k, s.y * k);
        if (sheet.bTurned) {
            // A quarter clockwise: the insert's top edge along the slot's right side.
            painter.translate(s.w * k, 0);
            painter.rotate(90);
        }
        painter.scale(sheet.dScale, sheet.dScale);
        paint.Paint(labels[i], insert);
        painter.restore();
    }
    return painter.end();
}
