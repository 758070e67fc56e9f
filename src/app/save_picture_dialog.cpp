#include "app/save_picture_dialog.h"

#include "app/preview_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellora::app {
namespace {

const QString kFilter = QStringLiteral("Bitmaps (*.bmp)");

}  // namespace

QImage LoadPreviewPicture(const QString& path) {
  if (path.isEmpty()) return {};
  const QByteArray contents = ReadSmallRegularFile(path);
  if (contents.isEmpty()) return {};
  return QImage::fromData(contents);
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
  // A folder or not is known from the listing's own look at the entry; a file's icon is the
  // theme's for the type its name suggests.
  if (info.isDir()) return icon(QAbstractFileIconProvider::Folder);
  const QMimeType mime =
      QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
  const QIcon generic = icon(QAbstractFileIconProvider::File);
  return QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), generic));
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
  if (info.isDir()) return QStringLiteral("Folder");
  return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
}

NameOnlyIconProvider& NameOnlyIconProvider::Instance() {
  // Never destroyed: a file list's worker may still ask it while a dialog goes away.
  static auto* provider = new NameOnlyIconProvider;
  return *provider;
}

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
  // Before the file list exists, so that it never learns a type by reading a file.
  setIconProvider(&NameOnlyIconProvider::Instance());
  setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
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

void SavePictureDialog::showEvent(QShowEvent* event) {
  QFileDialog::showEvent(event);
  if (!fitted_) FitColumns();
  fitted_ = true;
}

QTreeView* SavePictureDialog::FileList() const {
  // The toolkit offers no public way to its file dialog's detailed list; it is found by the name
  // the toolkit gives it. Only the column widths depend on it.
  return findChild<QTreeView*>(QStringLiteral("treeView"));
}

void SavePictureDialog::FitColumns() {
  QTreeView* view = FileList();
  if (view == nullptr) return;  // the toolkit's own widths, a scroll bar perhaps
  QHeaderView* header = view->header();
  const QFontMetrics metrics = view->fontMetrics();
  const QLocale locale = QLocale::system();
  // Room around a cell's text, as the view's items and headers take it.
  const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) +
                      metrics.averageCharWidth() * 2;
  const auto widest = [&metrics](const QStringList& texts) {
    int width = 0;
    for (const QString& text : texts) width = std::max(width, metrics.horizontalAdvance(text));
    return width;
  };
  // Name, Size, Type, Date Modified; each at least as wide as its header.
  const int icon = view->iconSize().isValid() ? view->iconSize().width()
                                              : style()->pixelMetric(QStyle::PM_SmallIconSize);
  const QDateTime latest(QDate(2026, 12, 28), QTime(23, 59, 59));
  const int widths[] = {
      widest({QStringLiteral("lattice-picture-0001.bmp")}) + icon + padding,
      widest({locale.formattedDataSize(1023), locale.formattedDataSize(1048575),
              locale.formattedDataSize(999999), locale.formattedDataSize(1073741823)}) +
          padding,
      widest({NameOnlyIconProvider::Instance().type(QFileInfo(QStringLiteral("x.bmp"))),
              QStringLiteral("Folder")}) +
          padding,
      widest({locale.toString(latest, QLocale::ShortFormat)}) + padding,
  };
  int total = 0;
  for (int column = 0; column < 4 && column < header->count(); ++column) {
    const int width = std::max(widths[column], header->sectionSizeHint(column));
    header->resizeSection(column, width);
    total += width;
  }
  // The list as wide as its columns plus its frame and a vertical scroll bar; the dialog grows by
  // what the list lacks, within the screen.
  const int needed = total + 2 * view->frameWidth() +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
  QRect available(0, 0, width() + needed, height());
  if (const QScreen* screen = this->screen()) available = screen->availableGeometry();
  const int maximum = available.width();
  const int opened = width();
  for (int attempt = 0; attempt < 3 && view->width() < needed && width() < maximum; ++attempt) {
    resize(std::min(maximum, width() + needed - view->width()), height());
    if (layout() != nullptr) layout()->activate();
  }
  // Still centred where the dialog placed itself.
  const int left = std::max(
      available.left(), std::min(x() - (width() - opened) / 2, available.right() + 1 - width()));
  move(left, y());
}

void SavePictureDialog::ShowPreviewOf(const QString& path) {
  const QImage picture = LoadPreviewPicture(path);
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
