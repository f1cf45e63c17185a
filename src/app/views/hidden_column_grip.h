#pragma once
// A header's own divider cannot be taken hold of for a column of width 0: a
// drag there widens the column before it. This filter gives such a column a
// few pixels right of its divider, where the mouse takes hold of it instead.
#include <QObject>

class QHeaderView;

class CHiddenColumnGrip : public QObject {
    Q_OBJECT

public:
    // Watches the header's viewport; the grip goes with the header.
    explicit CHiddenColumnGrip(QHeaderView* header);

    // Pixels right of a divider that belong to the hidden column there.
    static constexpr int kGripWidth = 5;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The column of width 0 whose grip holds x, or -1.
    int HiddenColumnAt(int x) const;

    QHeaderView* m_pHeader;
    int m_nColumn = -1;  // the column being widened
    int m_nLeft = 0;     // its divider, in viewport coordinates
    bool m_bCursor = false;
};
