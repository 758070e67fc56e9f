// The dialog of File > Save Image As...: the toolkit's own (non-native) save-file dialog with
// the filter "Bitmaps (*.bmp)", the default extension "bmp", no question before an existing
// file is replaced, and a picture preview pane beside the file list.
#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFrame>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;
class QTreeView;

namespace vellora::app {

// The largest file the preview reads: four times the picture of a 1000 x 1000 raster.
constexpr std::int64_t kMaxPreviewBytes = std::int64_t{16} * 1024 * 1024;

// The picture in the file at `path`, or a null image. Only a regular file of at most
// kMaxPreviewBytes is read, opened without waiting: a file whose open or read would block (a
// lease held by another program, a kernel file such as /proc/kmsg) gives no picture.
QImage LoadPreviewPicture(const QString& path);

// Icons and type names for the file list, told from the names alone: listing a folder never
// opens one of its files (a file whose read blocks would freeze the dialog, a slow network folder
// would stall it).
class NameOnlyIconProvider : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;

  // The one provider of every save dialog: it outlives the dialogs' file lists.
  static NameOnlyIconProvider& Instance();
};

// A frame that shows a picture scaled to fit with its proportions kept, centred, or the text
// "(None)" when it has none.
class PicturePane : public QFrame {
 public:
  explicit PicturePane(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

// The resizable tool window "Preview" that shows a picture, centred on the screen, at most three
// quarters of the screen's width and height; Esc closes it.
class PreviewWindow : public QDialog {
 public:
  PreviewWindow(const QImage& picture, QWidget* parent = nullptr);
};

class SavePictureDialog : public QFileDialog {
 public:
  explicit SavePictureDialog(QWidget* parent = nullptr);

  // Shows the file at `path` in the preview when it exists and loads as a picture; otherwise
  // the label reads "Picture:", the pane "(None)" and the Preview button is disabled.
  void ShowPreviewOf(const QString& path);

  QLabel* PictureLabel() const { return pictureLabel_; }
  PicturePane* Pane() const { return pane_; }
  QPushButton* PreviewButton() const { return previewButton_; }
  // The list of files in detail (name, size, type, date), or null should the toolkit's dialog
  // no longer have it where it had.
  QTreeView* FileList() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OpenPreviewWindow();
  // Column widths that fit their headers, sizes such as "1023 KiB" and the dates, and a dialog
  // wide enough for them without a horizontal scroll bar.
  void FitColumns();

  QLabel* pictureLabel_;
  PicturePane* pane_;
  QPushButton* previewButton_;
  bool fitted_ = false;
};

// SavePictureDialog1: runs the dialog and remembers the name chosen last, which it fills in the
// next time.
class SavePictureChooser {
 public:
  // The full path chosen, or nothing when the user cancelled.
  std::optional<QString> Execute(QWidget* parent);

  const QString& FileName() const { return fileName_; }

 private:
  QString fileName_;
};

}  // namespace vellora::app
