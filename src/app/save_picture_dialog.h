// The dialog of File > Save Image As...: the toolkit's own (non-native) save-file dialog with
// the filter "Bitmaps (*.bmp)", the default extension "bmp", no question before an existing
// file is replaced, and a picture preview pane beside the file list.
#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QImage>
#include <QString>
#include <optional>

class QLabel;
class QPushButton;

namespace vellora::app {

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

 private:
  void OpenPreviewWindow();

  QLabel* pictureLabel_;
  PicturePane* pane_;
  QPushButton* previewButton_;
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
