// The window as a Japanese user meets it: Qt's own texts and the typeface,
// columns that can be found and moved, bars and rows that keep their shape,
// keys of the dialogs, and F4 that says why it is off.
#include <QCheckBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "app/search/date_picker.h"
#include "app/search/search_dialog.h"
#include "app/settings/prop_page_proxy.h"
#include "app/views/edit_view.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::OnNextDialog;

namespace {

const QStringList kJapaneseFaces{u"IPAGothic"_s, u"IPAゴシック"_s, u"Noto Sans CJK JP"_s};

QStringList ActionTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* a : menu.actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

// Drags a header section by the mouse and drops it on the left half of another.
void DragSection(QHeaderView* header, int logical, int ontoLogical) {
    const int y = header->height() / 2;
    const QPoint from(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2, y);
    const QPoint to(header->sectionViewportPosition(ontoLogical) + 2, y);
    QWidget* viewport = header->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 8; ++step) QTest::mouseMove(viewport, from + (to - from) * step / 8);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
}

}  // namespace

class JapaneseUserTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private:
    QHeaderView* Header() const { return m_list->GetDetailsView()->header(); }
    QWidget* Pane(const QString& name) const { return m_frame->statusBar()->findChild<QWidget*>(name); }
    QString MessageShown() const { return Pane(u"MessagePane"_s)->property("text").toString(); }
    // Ticks or unticks a column in the header's popup, as a user would.
    void TickColumn(int column) {
        const std::unique_ptr<QMenu> menu(m_list->CreateHeaderMenu(nullptr));
        for (QAction* item : menu->actions())
            if (item->data().toInt() == column) item->trigger();
    }

    // Runs a command that opens a modal dialog and acts on the dialog once it
    // has the keyboard, as a user's keys need.
    template <class Dialog>
    void RunDialog(int command, std::function<void(Dialog*)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<Dialog>([&](Dialog* d) {
            ran = true;
            QVERIFY(QTest::qWaitForWindowActive(d));
            QTRY_COMPARE(QGuiApplication::focusWindow(), d->windowHandle());
            action(d);
            if (d->isVisible()) QTest::keyClick(d, Qt::Key_Escape);
        });
        lv::guitest::Activate(m_frame);
        Act(command)->trigger();
        QVERIFY(ran);
    }

private slots:
    void init() {
        CMessageBox::ClearShown();
        m_folder = std::make_unique<lv::guitest::ProgramFolder>();
        m_folder->AddSampleLibrary();
    }
    void cleanup() { Stop(); }

    // The tests run in the C.UTF-8 locale: Qt's texts are Japanese all the same.
    void qtTextsAndTheTypefaceAreJapanese() {
        Start();
        QMessageBox box(QMessageBox::Question, u"Librovista"_s, u"?"_s, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), u"はい(&Y)"_s);
        QCOMPARE(box.button(QMessageBox::No)->text(), u"いいえ(&N)"_s);

        const std::unique_ptr<QMenu> menu(m_frame->GetEditView()->createStandardContextMenu());
        const QStringList items = ActionTexts(*menu);
        QVERIFY2(items.filter(QRegularExpression(u"^コピー\\(&C\\)"_s)).size() == 1, qPrintable(items.join(u'|')));
        QVERIFY2(items.filter(QRegularExpression(u"^すべてを選択"_s)).size() == 1, qPrintable(items.join(u'|')));

        // One Japanese face, not a per-character fallback.
        for (QWidget* w : {static_cast<QWidget*>(m_tree), static_cast<QWidget*>(m_list->GetDetailsView()),
                           static_cast<QWidget*>(m_frame->statusBar())})
            QVERIFY2(kJapaneseFaces.contains(QFontInfo(w->font()).family()), qPrintable(QFontInfo(w->font()).family()));
    }

    void hiddenColumnAndColumnOrderAreReachable() {
        Start();
        Select({u"RDA"_s, u"HDD"_s});
        QHeaderView* header = Header();
        QCOMPARE(header->count(), 7);
        QCOMPARE(header->sectionSize(6), 0);

        {
            // The header's popup lists the columns, ticked when shown.
            const std::unique_ptr<QMenu> menu(m_list->CreateHeaderMenu(nullptr));
            const QList<QAction*> items = menu->actions();
            QCOMPARE(ActionTexts(*menu), (QStringList{u"タイトル名"_s, u"Disc No."_s, u"ジャンル"_s, u"録画開始日時"_s,
                                                      u"ﾁｬﾝﾈﾙ"_s, u"本体名"_s, u"残量時間"_s}));
            QVERIFY(items.at(0)->isChecked());
            QVERIFY(!items.at(6)->isChecked());
            items.at(6)->trigger();
            QVERIFY(header->sectionSize(6) > 0);
            items.at(5)->trigger();
            QCOMPARE(header->sectionSize(5), 0);
        }

        // "ジャンル" dragged in front of "タイトル名".
        DragSection(header, 2, 0);
        QCOMPARE(header->logicalIndex(0), 2);
        QCOMPARE(header->logicalIndex(1), 0);
        // "タイトル名" itself moves too.
        DragSection(header, 0, 2);
        QCOMPARE(header->logicalIndex(0), 0);
    }

    void theHiddenColumnIsTakenHoldOfRightOfItsDivider() {
        Start();
        Select({u"RDA"_s, u"HDD"_s});
        QHeaderView* header = Header();
        QCOMPARE(header->sectionSize(6), 0);
        const int nameWidth = header->sectionSize(5);
        const int divider = header->sectionViewportPosition(6);
        const int y = header->height() / 2;
        QWidget* viewport = header->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(divider + 2, y));
        for (int step = 1; step <= 4; ++step) QTest::mouseMove(viewport, QPoint(divider + 2 + 20 * step, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(divider + 82, y));
        QCOMPARE(header->sectionSize(6), 82);
        QCOMPARE(header->sectionSize(5), nameWidth);
        // Left of the divider the column before it is still the one resized.
        const int right = header->sectionViewportPosition(5) + nameWidth;
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(right - 1, y));
        QTest::mouseMove(viewport, QPoint(right + 29, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(right + 29, y));
        QCOMPARE(header->sectionSize(5), nameWidth + 30);
    }

    void hiddenStatusBarIsRemembered() {
        Start();
        Act(ID_VIEW_STATUS_BAR)->trigger();
        Restart();
        QVERIFY(m_frame->statusBar()->isHidden());
        QVERIFY(!Act(ID_VIEW_STATUS_BAR)->isChecked());
        Act(ID_VIEW_STATUS_BAR)->trigger();
        Restart();
        QVERIFY(!m_frame->statusBar()->isHidden());
    }

    // The first row has no image: rows are still as high as the image needs,
    // and names line up with those beside an image.
    void rowsHaveRoomForTheirImage() {
        m_folder->AddRecorder("RDC", "RD-XS40", "\"Disc No.\",\"ディスク名\",\"残量時間\"\n\"HDD\",\"\",\"5:00\"\n",
                              "\"HDD\",\"あ画像なし\",\"2005/12/24\",\"木\",\"07:00\",\"012\",\"\",\"\",\"5:00\",\"\","
                              "\"c1.htm\",\"\",\"\"\n"
                              "\"HDD\",\"ニュース\",\"2005/12/23\",\"金\",\"07:00\",\"012\",\"\",\"ニュース\",\"5:00\","
                              "\"\",\"c2.htm\",\"\",\"0000100002\"\n");
        Start();
        Select({u"RDC"_s, u"HDD"_s});
        QCOMPARE(Column(0), (QStringList{u"あ画像なし"_s, u"ニュース"_s}));
        QTreeView* view = m_list->GetDetailsView();
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.decorationSize = view->iconSize();
        option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
        const int imageRow = view->itemDelegate()->sizeHint(option, m_model->index(1, 0)).height();
        QVERIFY(view->visualRect(m_model->index(0, 0)).height() >= imageRow);
        QVERIFY(view->visualRect(m_model->index(0, 0)).height() >= view->iconSize().height() + 2);
        QCOMPARE(view->sizeHintForIndex(m_model->index(0, 0)).width() -
                     view->fontMetrics().horizontalAdvance(u"あ画像なし"_s),
                 view->sizeHintForIndex(m_model->index(1, 0)).width() -
                     view->fontMetrics().horizontalAdvance(u"ニュース"_s));
    }

    void dateFieldsTakeAltDAndSlashes() {
        Start();
        RunDialog<CSearchDialog>(ID_SEARCH, [](CSearchDialog* d) {
            auto* from = d->findChild<CDatePicker*>(u"DateFrom"_s);
            QVERIFY(from);
            QTest::keyClick(d, Qt::Key_D, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(from->CheckBox()));
            QTest::keyClick(from->CheckBox(), Qt::Key_Space);
            QVERIFY(from->IsChecked());
            for (const QString& typed : {u"2005/01/01"_s, u"2005/1/1"_s, u"2004/11/30"_s}) {
                QDateEdit* edit = from->DateEdit();
                edit->setFocus(Qt::TabFocusReason);
                edit->setSelectedSection(QDateTimeEdit::YearSection);
                QTest::keyClicks(edit, typed);
                QCOMPARE(from->GetDate(), QDate::fromString(typed, u"yyyy/M/d"_s));
            }
        });
    }

    void proxyAddressKeepsAltA() {
        Start();
        RunDialog<CPropertySheet>(ID_OPTIONS, [this](CPropertySheet* sheet) {
            auto* page = sheet->findChild<CPropPageProxy*>();
            QVERIFY(page);
            QTest::mouseClick(Child<QCheckBox>(page, "UseIE"), Qt::LeftButton);
            QTest::mouseClick(Child<QCheckBox>(page, "UseProxy"), Qt::LeftButton);
            QVERIFY(Child<QLineEdit>(page, "ProxyHost")->isEnabled());
            QVERIFY(Child<QPushButton>(sheet, "Apply")->isEnabled());
            Child<QLineEdit>(page, "ProxyPort")->setFocus();
            QTest::keyClick(sheet, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<QLineEdit>(page, "ProxyHost")));
            // Nothing was applied.
            QVERIFY(Child<QPushButton>(sheet, "Apply")->isEnabled());
            QCOMPARE(m_app->m_settings.m_bProxyUseIE, 1);
        });
    }

    // The default widths stay, but no header text is clipped; the tree scrolls sideways.
    void headersAndDiscLabelsAreNotClipped() {
        Start();
        Select({u"RDA"_s, u"DVD"_s});
        QHeaderView* header = Header();
        QCOMPARE(m_model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"Disc No."_s);
        for (int c = 0; c < header->count(); ++c) {
            const QString text = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c), qPrintable(text));
        }
        QCOMPARE(header->sectionSize(2), 220);  // "ﾃﾞｨｽｸ名" keeps its default

        Act(ID_DISC_NAME)->trigger();
        QTreeWidgetItem* dvd = lv::guitest::FindNode(m_tree, {u"RDA"_s, u"DVD"_s});
        QVERIFY(dvd && dvd->childCount() > 0);
        lv::guitest::ClickNode(m_tree, dvd->child(0));
        Child<QSplitter>(m_frame, "MainSplitter")->setSizes({40, 760});
        QTRY_VERIFY(m_tree->horizontalScrollBar()->maximum() > 0);
        const QModelIndex disc = m_tree->currentIndex();
        QVERIFY(m_tree->visualRect(disc).width() >= m_tree->fontMetrics().horizontalAdvance(disc.data().toString()));
    }

    // At 800 px every prompt is whole; a transfer's text has the room it needs,
    // and where there is none it ends in "…" and is whole in the tooltip.
    void statusPanesShowTheirTextsWhole() {
        Start();
        QWidget* message = Pane(u"MessagePane"_s);
        const QFontMetrics metrics(message->font());
        for (QAction* command : m_frame->actions()) {
            if (command->statusTip().isEmpty()) continue;
            command->showStatusText(Child<QToolBar>(m_frame, "ToolBar"));
            QCOMPARE(MessageShown(), command->statusTip());
            QVERIFY2(metrics.horizontalAdvance(MessageShown()) <=
                         Pane(u"Pane%1"_s.arg(ID_PANE_SELECTED))->x() - message->x(),
                     qPrintable(MessageShown()));
        }

        QWidget* transfer = Pane(u"Pane%1"_s.arg(ID_PANE_TRANSFER));
        const QString progress = u"2/3 UNK ﾗｲﾌﾞﾗﾘ情報を取得中... 23.8 KB"_s;
        m_frame->resize(1280, 600);
        m_frame->SetPaneText(ID_PANE_TRANSFER, progress);
        QTRY_VERIFY(transfer->contentsRect().width() >= metrics.horizontalAdvance(progress));
        m_frame->resize(500, 600);
        QTRY_VERIFY(transfer->contentsRect().width() < metrics.horizontalAdvance(progress));
        const QString shown = transfer->property("shownText").toString();
        QVERIFY2(shown.endsWith(u'…') && progress.startsWith(shown.chopped(1)), qPrintable(shown));
        QCOMPARE(transfer->toolTip(), progress);
    }

    // The sort arrow stands right of the whole text, in a header of steady
    // height; a width the user chose stays, however narrow, and only a
    // column shown for the first time is made as wide as its text.
    void headerArrowsAndWidths() {
        Start();
        Select({u"RDA"_s, u"HDD"_s});
        QHeaderView* header = Header();
        TickColumn(6);
        for (int column : {1, 6}) QVERIFY(header->sectionSize(column) >= header->sectionSizeHint(column));
        const int height = header->height();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column : {1, 6}) {
            m_list->GetDetailsView()->scrollTo(m_model->index(0, column));
            const int left = header->sectionViewportPosition(column), right = left + header->sectionSize(column);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                              QPoint((left + right) / 2, height / 2));
            QCOMPARE(header->height(), height);
            QCOMPARE(header->sizeHint().height(), height);
            const QImage image = header->viewport()->grab().toImage();
            int arrow = -1;  // the arrow's leftmost pixel
            for (int x = right - 1; x >= left; --x)
                for (int y = 0; y < image.height(); ++y)
                    if (image.pixel(x, y) == qRgb(0x5a, 0x62, 0x6c)) arrow = x;
            const QString text = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            QVERIFY2(arrow > left + margin + header->fontMetrics().horizontalAdvance(text), qPrintable(text));
        }
        header->resizeSection(1, 32);
        TickColumn(1);
        TickColumn(1);
        QCOMPARE(header->sectionSize(1), 32);
        m_frame->close();
        Restart();
        Select({u"RDA"_s, u"HDD"_s});
        QCOMPARE(Header()->sectionSize(1), 32);
    }

    void noTwoItemsOfAMenuShareAMnemonic() {
        Start();
        for (QAction* menu : m_frame->menuBar()->actions()) {
            QStringList letters;
            for (QAction* item : menu->menu()->actions()) {
                letters << QKeySequence::mnemonic(item->text()).toString();
                QVERIFY2(letters.back().isEmpty() || letters.count(letters.back()) == 1, qPrintable(item->text()));
            }
        }
        for (int id : {ID_DOWNLOAD_ALL_LIBRARIES, ID_EXPORT_LIST, ID_VIEW_FILTER})
            QVERIFY2(!QKeySequence::mnemonic(Act(id)->text()).isEmpty(), qPrintable(Act(id)->text()));
    }

    // RDB is of the first model class, which serves no descriptions.
    void f4SaysWhyARecorderHasNoDescriptions() {
        Start();
        Select({u"RDB"_s, u"HDD"_s});
        m_list->GetDetailsView()->setFocus();
        // Detail copy is the list's alone: the list is the active view.
        QTRY_VERIFY(Act(ID_EDIT_COPY_DETAILS)->isEnabled());
        SelectRows({0});
        const QString reason = u"この機種は番組説明の取得に対応していません。"_s;
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->isEnabled());
        QCOMPARE(m_frame->GetPaneText(0), reason);
        QVERIFY(Act(ID_DOWNLOAD_TITLE)->toolTip().contains(reason));
        // Pointed at, F4 says it too; the word goes with the rows selected.
        Act(ID_DOWNLOAD_TITLE)->showStatusText(Child<QToolBar>(m_frame, "ToolBar"));
        QCOMPARE(MessageShown(), reason);

        Select({u"RDA"_s, u"HDD"_s});
        m_list->GetDetailsView()->setFocus();
        SelectRows({0});
        QVERIFY(Act(ID_DOWNLOAD_TITLE)->isEnabled());
        QCOMPARE(MessageShown(), u"ﾚﾃﾞｨ"_s);
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->toolTip().contains(reason));
    }
};

QTEST_MAIN(JapaneseUserTest)
#include "japanese_user_test.moc"
