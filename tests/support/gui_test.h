#pragma once
// What a test of the window includes: the window fixture, modal dialogs and
// message boxes, and the classes it drives.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "app/dialogs/message_box.h"
#include "app/search/keyword_combo.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/image_file.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "support/modal.h"
#include "support/sjis.h"
#include "support/temp_dir.h"
#include "support/window.h"

// Qt texts in tests are written u"..."_s; QT_NO_CAST_FROM_ASCII forbids bare literals.
using namespace Qt::StringLiterals;

namespace lv::guitest {

// A control of a window or dialog by its class and object name; a missing
// one ends the test with its name rather than a crash.
template <class T>
T* Child(const QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return child;
}

// Whether the status bar's transfer icon shows a transfer under way.
inline bool TransferIconBusy(const QWidget* frame) {
    const QImage shown = Child<QLabel>(frame, "TransferIcon")->pixmap().toImage();
    return shown == QIcon(ImageFile(u"status_busy"_s)).pixmap(16, 16).toImage();
}

}  // namespace lv::guitest
