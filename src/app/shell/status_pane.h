#pragma once
// A pane of the status bar that asks for the room its text needs: the
// message pane for the text of the moment, the others for the longest text
// they have shown, so they do not jump while counts and progress change.
// Where the bar is too narrow the text ends in "…" and the tooltip has it whole.
#include <QString>
#include <QWidget>

class CStatusPane : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ GetText)
    Q_PROPERTY(QString shownText READ GetShownText)

public:
    // A pane that keeps the width of its longest text, or one that fits the text it has.
    CStatusPane(bool keepLongest, QWidget* parent);

    void SetText(const QString& text);
    QString GetText() const { return m_strText; }
    // What the pane paints in its width.
    QString GetShownText() const;
    // A text the pane leaves room for before it has shown it.
    void ReserveFor(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Widen(const QString& text);
    void UpdateTip();

    bool m_bKeepLongest;
    QString m_strText;
    QString m_strLongest;  // the widest text shown or reserved, in the pane's font
};
