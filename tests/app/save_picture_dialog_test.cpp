#include "app/save_picture_dialog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <chrono>
#include <future>
#include <thread>

#include "picture/bmp_writer.h"
#include "qt_test_support.h"

namespace vellora::app {
namespace {

using testing::ModalCloser;

class SavePictureDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    savedCurrent = QDir::currentPath();
    QDir::setCurrent(folder.path());
  }
  void TearDown() override { QDir::setCurrent(savedCurrent); }

  QString WriteBitmap(const QString& name, int width, int height) {
    picture::RasterSurface surface(width, height);
    surface.FillCell(0, 0, width / 2, height, picture::kBlack);
    QString path = folder.filePath(name);
    picture::SaveBitmapFile(surface, path.toStdString());
    return path;
  }

  QTemporaryDir folder;
  QString savedCurrent;
};

TEST_F(SavePictureDialogTest, BitmapFilterDefaultExtensionNoOverwriteQuestion) {
  SavePictureDialog dialog;
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Bitmaps (*.bmp)")});
  EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Bitmaps (*.bmp)"));
  EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));
  EXPECT_TRUE(dialog.isSizeGripEnabled());
}

TEST_F(SavePictureDialogTest, PreviewFollowsTheSelectedName) {
  const QString bitmap = WriteBitmap(QStringLiteral("lattice.bmp"), 500, 500);
  QFile text(folder.filePath(QStringLiteral("notes.bmp")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture");
  text.close();

  SavePictureDialog dialog;
  const struct {
    QString path;
    QString label;
    bool picture;
  } cases[] = {
      {QString(), QStringLiteral("Picture:"), false},
      {bitmap, QStringLiteral(" (500x500)"), true},
      {folder.filePath(QStringLiteral("missing.bmp")), QStringLiteral("Picture:"), false},
      {text.fileName(), QStringLiteral("Picture:"), false},
      {folder.path(), QStringLiteral("Picture:"), false},
  };
  for (const auto& c : cases) {
    dialog.ShowPreviewOf(c.path);
    EXPECT_EQ(dialog.PictureLabel()->text(), c.label) << c.path.toStdString();
    EXPECT_EQ(dialog.PreviewButton()->isEnabled(), c.picture) << c.path.toStdString();
    EXPECT_EQ(!dialog.Pane()->Picture().isNull(), c.picture) << c.path.toStdString();
  }
  EXPECT_EQ(dialog.PreviewButton()->toolTip(), QStringLiteral("Preview"));
}

// The preview reads only a regular file of a bounded size, and never waits for one: a FIFO is not
// opened, and a file whose open would block (here a lease this test holds on it, as /proc/kmsg
// blocks a read) gives no picture at once. A loader that blocked fails the wait below.
TEST_F(SavePictureDialogTest, ThePreviewNeverWaitsForAFile) {
  const QString bitmap = WriteBitmap(QStringLiteral("lattice.bmp"), 40, 30);
  const QString held = WriteBitmap(QStringLiteral("held.bmp"), 40, 30);
  const QString fifo = folder.filePath(QStringLiteral("pipe.bmp"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
  const QString large = folder.filePath(QStringLiteral("large.bmp"));
  {
    QFile file(large);  // a picture's header, then more than the preview reads
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QFile head(bitmap);
    ASSERT_TRUE(head.open(QIODevice::ReadOnly));
    file.write(head.readAll());
    ASSERT_TRUE(file.resize(kMaxPreviewBytes + 1));
  }
  const QString empty = folder.filePath(QStringLiteral("empty.bmp"));
  {
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const auto oldHandler = ::signal(SIGIO, SIG_IGN);  // the lease's holder is told of the break
  const int lease = ::open(QFile::encodeName(held).constData(), O_RDWR);
  ASSERT_GE(lease, 0);
  const bool leased = ::fcntl(lease, F_SETLEASE, F_WRLCK) == 0;
  const struct {
    QString path;
    bool picture;
  } cases[] = {
      {bitmap, true},
      {held, false},
      {fifo, false},
      {large, false},
      {folder.path(), false},
      {QString(), false},
      {empty, false},
      {QStringLiteral("/proc/kmsg"), false},  // never opened: they say they are empty
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    std::promise<bool> result;
    std::future<bool> loaded = result.get_future();
    std::thread loader([&] { result.set_value(!LoadPreviewPicture(c.path).isNull()); });
    const bool finished = loaded.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    if (!finished) ::fcntl(lease, F_SETLEASE, F_UNLCK);  // let it go on, then fail
    loader.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(loaded.get(), c.picture);
  }
  EXPECT_TRUE(leased) << "the lease case ran without a lease";
  ::close(lease);
  ::signal(SIGIO, oldHandler);
}

// The names of the entries of a folder that something opened since the last call.
class OpenWatch {
 public:
  explicit OpenWatch(const QStringList& folders) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    for (const QString& folder : folders) {
      if (fd_ >= 0) ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
    }
  }
  ~OpenWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Valid() const { return fd_ >= 0; }

  QStringList Opened() {
    QStringList names;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t count = ::read(fd_, buffer, sizeof buffer);
      if (count <= 0) return names;
      for (ssize_t at = 0; at < count;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        // The folder itself (listed) has no name; an entry that was opened has.
        if (event->len > 0 && !names.contains(QFile::decodeName(event->name))) {
          names.append(QFile::decodeName(event->name));
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

 private:
  int fd_;
};

// Listing a folder opens none of its files, whatever their names; the preview opens the one the
// user selects in the list, which reaches it through the dialog's own signal.
TEST_F(SavePictureDialogTest, ListingOpensNoFileAndTheSelectionReachesThePreview) {
  WriteBitmap(QStringLiteral("lattice.bmp"), 60, 20);
  WriteBitmap(QStringLiteral("no extension"), 60, 20);
  for (const char* name : {"notes.bmp", "notes", "data.bin", "script.sh"}) {
    QFile file(folder.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nnot a picture\n");
  }
  // A pipe is not listed (it is no file for a picture), but the list still looks at it.
  ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0644), 0);
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
  {
    // A folder's own icon, as some desktops keep it.
    QFile icon(folder.filePath(QStringLiteral("sub/.directory")));
    ASSERT_TRUE(icon.open(QIODevice::WriteOnly));
    icon.write("[Desktop Entry]\nIcon=folder-red\n");
  }
  ASSERT_TRUE(QFile::link(folder.filePath("notes"), folder.filePath("link.bmp")));
  OpenWatch watch({folder.path(), folder.filePath(QStringLiteral("sub"))});
  ASSERT_TRUE(watch.Valid());

  SavePictureDialog dialog;
  // Every entry in the list, not only the bitmaps.
  dialog.setNameFilters({QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("All (*)")});
  dialog.selectNameFilter(QStringLiteral("All (*)"));
  auto* model = dialog.findChild<QFileSystemModel*>();
  QTreeView* view = dialog.FileList();
  ASSERT_NE(model, nullptr);
  ASSERT_NE(view, nullptr) << "the toolkit's file dialog has changed: FileList() finds nothing";
  bool loaded = false;
  QObject::connect(model, &QFileSystemModel::directoryLoaded, [&](const QString& path) {
    if (QFileInfo(path) == QFileInfo(folder.path())) loaded = true;
  });
  dialog.setDirectory(folder.path());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, 5000));
  const QModelIndex root = model->index(folder.path());
  ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) == 8; }, 5000))
      << model->rowCount(root);
  // Ask for every entry's icon and type, as the list shows them, and let the list settle.
  QStringList types;
  for (int row = 0; row < model->rowCount(root); ++row) {
    model->data(model->index(row, 0, root), Qt::DecorationRole);
    types << model->data(model->index(row, 2, root)).toString();
  }
  QTest::qWait(300);
  EXPECT_EQ(watch.Opened().join(", ").toStdString(), "") << types.join(", ").toStdString();

  const struct {
    const char* name;
    QString label;
  } selections[] = {
      {"lattice.bmp", QStringLiteral(" (60x20)")},
      {"notes.bmp", QStringLiteral("Picture:")},
      {"no extension", QStringLiteral(" (60x20)")},
  };
  for (const auto& c : selections) {
    SCOPED_TRACE(c.name);
    const QModelIndex index = model->index(folder.filePath(QString::fromLatin1(c.name)));
    ASSERT_TRUE(index.isValid());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    EXPECT_EQ(dialog.PictureLabel()->text(), c.label);
    EXPECT_EQ(dialog.PreviewButton()->isEnabled(), c.label != QStringLiteral("Picture:"));
    EXPECT_EQ(watch.Opened().join(", ").toStdString(), c.name);  // that file only
  }
}

// At its opening size the list shows every column whole, the sizes of large files included, and
// needs no horizontal scroll bar.
TEST_F(SavePictureDialogTest, ColumnsAreNotCutAtTheOpeningSize) {
  for (const char* name : {"lattice-0001.bmp", "big.bmp"}) {
    QFile file(folder.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(999999));  // "976 KiB" and more
  }
  SavePictureDialog dialog;
  auto* model = dialog.findChild<QFileSystemModel*>();
  QTreeView* view = dialog.FileList();
  ASSERT_NE(model, nullptr);
  ASSERT_NE(view, nullptr) << "the toolkit's file dialog has changed: FileList() finds nothing";
  dialog.setDirectory(folder.path());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const QModelIndex root = model->index(folder.path());
  ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) == 2; }, 5000));
  QTest::qWait(100);
  const QRect screen = dialog.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(dialog.geometry()))
      << dialog.geometry().x() << "," << dialog.geometry().y() << " " << dialog.width() << "x"
      << dialog.height() << " on " << screen.width() << "x" << screen.height();
  QHeaderView* header = view->header();
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.decorationSize = view->iconSize();
  const char* columns[] = {"Name", "Size", "Type", "Date Modified"};
  for (int column = 0; column < 4; ++column) {
    SCOPED_TRACE(columns[column]);
    EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column));
    for (int row = 0; row < model->rowCount(root); ++row) {
      const QModelIndex index = model->index(row, column, root);
      EXPECT_GE(header->sectionSize(column),
                view->itemDelegateForIndex(index)->sizeHint(option, index).width())
          << model->data(index).toString().toStdString();
    }
  }
  EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
}

TEST_F(SavePictureDialogTest, PreviewWindowIsAtMostThreeQuartersOfTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QImage wide(screen.width() * 2, 40, QImage::Format_RGB32);
  PreviewWindow window(wide);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Preview"));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
  EXPECT_LE(window.width(), screen.width() * 3 / 4);
  EXPECT_EQ(window.height(), 40);
  EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 2);

  // Esc closes it.
  ModalCloser closer([&](QWidget* modal) {
    EXPECT_EQ(modal, &window);
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  window.exec();
  EXPECT_TRUE(closer.Closed());
  EXPECT_FALSE(window.isVisible());
}

TEST_F(SavePictureDialogTest, NameWithoutExtensionGetsBmpAndIsFilledInNextTime) {
  SavePictureChooser chooser;
  ModalCloser typeName([&](QWidget* modal) {
    auto* dialog = dynamic_cast<SavePictureDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->PictureLabel()->text(), QStringLiteral("Picture:"));
    EXPECT_FALSE(dialog->PreviewButton()->isEnabled());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    dialog->setDirectory(folder.path());
    name->setText(QStringLiteral("picture"));
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  const std::optional<QString> first = chooser.Execute(nullptr);
  ASSERT_TRUE(typeName.Closed());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, QDir(folder.path()).absoluteFilePath(QStringLiteral("picture.bmp")));

  QString filledIn;
  ModalCloser cancel([&](QWidget* modal) {
    auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    filledIn = name->text();
  });
  EXPECT_FALSE(chooser.Execute(nullptr).has_value());
  EXPECT_TRUE(cancel.Closed());
  EXPECT_EQ(filledIn, QStringLiteral("picture.bmp"));
  EXPECT_EQ(chooser.FileName(), *first);
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  // The screen the dialog was looked at on.
  return vellora::app::testing::RunQtTests(argc, argv, QSize(1280, 1024));
}
