#include "app/save_picture_dialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vellora::app {
namespace {

const QString kFilter = QStringLiteral("Bitmaps (*.bmp)");

QImage LoadPicture(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).isFile()) return {};
  QImageReader reader(path);
  return reader.read();
}

}  // namespace

PicturePane::PicturePane(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setMinimumSize(160, 160);
}

void PicturePane::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void PicturePane::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect().adjusted(2, 2, -2, -2);
  if (picture_.isNull()) {
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("(None)"));
    return;
  }
  QSize size = picture_.size();
  size.scale(area.size(), Qt::KeepAspectRatio);
  QRect target(QPoint(0, 0), size);
  target.moveCenter(area.center());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, picture_);
}

PreviewWindow::PreviewWindow(const QImage& picture, QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Preview"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* pane = new PicturePane(this);
  pane->setFrameShape(QFrame::NoFrame);
  pane->setMinimumSize(32, 32);
  pane->SetPicture(picture);
  layout->addWidget(pane);

  QSize size = picture.size();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    size = size.boundedTo(QSize(available.width() * 3 / 4, available.height() * 3 / 4));
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(available.center());
    setGeometry(frame);
  } else {
    resize(size);
  }
}

SavePictureDialog::SavePictureDialog(QWidget* parent) : QFileDialog(parent) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setOption(QFileDialog::DontConfirmOverwrite, true);
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  setNameFilter(kFilter);
  selectNameFilter(kFilter);
  setDefaultSuffix(QStringLiteral("bmp"));
  setSizeGripEnabled(true);

  auto* previewColumn = new QWidget(this);
  auto* column = new QVBoxLayout(previewColumn);
  column->setContentsMargins(0, 0, 0, 0);
  pictureLabel_ = new QLabel(QStringLiteral("Picture:"), previewColumn);
  pictureLabel_->setObjectName(QStringLiteral("PictureLabel"));
  pane_ = new PicturePane(previewColumn);
  pane_->setObjectName(QStringLiteral("PicturePane"));
  previewButton_ = new QPushButton(QStringLiteral("Preview"), previewColumn);
  previewButton_->setObjectName(QStringLiteral("PreviewButton"));
  previewButton_->setToolTip(QStringLiteral("Preview"));
  previewButton_->setAutoDefault(false);
  previewButton_->setEnabled(false);
  column->addWidget(pictureLabel_);
  column->addWidget(pane_, 1);
  column->addWidget(previewButton_, 0, Qt::AlignRight);

  // The non-native dialog lays itself out on a grid; the preview takes a column of its own.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(previewColumn, 0, grid->columnCount(), grid->rowCount(), 1);
  } else if (layout() != nullptr) {
    layout()->addWidget(previewColumn);
  }

  connect(this, &QFileDialog::currentChanged, this,
          [this](const QString& path) { ShowPreviewOf(path); });
  connect(previewButton_, &QPushButton::clicked, this, [this] { OpenPreviewWindow(); });
}

void SavePictureDialog::ShowPreviewOf(const QString& path) {
  const QImage picture = LoadPicture(path);
  pane_->SetPicture(picture);
  previewButton_->setEnabled(!picture.isNull());
  if (picture.isNull()) {
    pictureLabel_->setText(QStringLiteral("Picture:"));
  } else {
    pictureLabel_->setText(QString::asprintf(" (%dx%d)", picture.width(), picture.height()));
  }
}

void SavePictureDialog::OpenPreviewWindow() {
  if (pane_->Picture().isNull()) return;
  PreviewWindow window(pane_->Picture(), this);
  window.exec();
}

std::optional<QString> SavePictureChooser::Execute(QWidget* parent) {
  SavePictureDialog dialog(parent);
  if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
  dialog.ShowPreviewOf(QString());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  fileName_ = QFileInfo(chosen.first()).absoluteFilePath();
  return fileName_;
}

}  // namespace vellora::app
