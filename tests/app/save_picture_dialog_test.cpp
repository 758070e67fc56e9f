#include "app/save_picture_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

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
  return vellora::app::testing::RunQtTests(argc, argv);
}
