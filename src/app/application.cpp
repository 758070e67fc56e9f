#include "app/application.h"

#include <QDir>
#include <QEvent>
#include <QFont>
#include <QMetaObject>
#include <QSettings>
#include <QStringList>
#include <exception>

#include "app/message_box.h"
#include "app/platform.h"
#include "base/errors.h"
#include "numtext/number_format.h"

namespace vellora::app {

QString ApplicationTitle(const QString& executablePath) {
  // The platform's own separators as well as "/" (on Windows "\\" too).
  const QString path = QDir::fromNativeSeparators(executablePath);
  QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  if (name.isEmpty()) return name;
  // The first character may be a surrogate pair; it stays as it is.
  const qsizetype firstLength = name[0].isHighSurrogate() && name.size() > 1 ? 2 : 1;
  return name.left(firstLength) + name.mid(firstLength).toLower();
}

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

ErrorDisplay::ErrorDisplay(QString title, QObject* parent)
    : QObject(parent), title_(std::move(title)) {}

void ErrorDisplay::Report(const std::string& message, ErrorSource source,
                          const QString& description) {
  const QString text = QString::fromStdString(ErrorBoxText(message));
  if (description.isEmpty()) {
    descriptions_.remove(text);
  } else {
    descriptions_.insert(text, description);
  }
  if (source == ErrorSource::kCommand) {
    if (Busy()) {
      // Once is enough for a message that is already on the screen or waiting (a pan that fails
      // at every move of the mouse).
      if (text != current_ && !waiting_.contains(text)) waiting_.append(text);
    } else {
      Schedule(text);
    }
    return;
  }
  if (Busy() || closed_.contains(text)) {
    ++suppressed_;
    return;
  }
  Schedule(text);
}

void ErrorDisplay::Schedule(const QString& text) {
  pending_ = true;
  current_ = text;
  QMetaObject::invokeMethod(
      this, [this, text] { ShowBox(text); }, Qt::QueuedConnection);
}

void ErrorDisplay::ShowBox(const QString& text) {
  pending_ = false;
  open_ = true;
  // Over the window that was active, which gets the activation and its focus back afterwards.
  // Should that window go away meanwhile, the box goes with it.
  auto* box = new MessageBox(QMessageBox::Critical, title_, text, QApplication::activeWindow());
  box->setAccessibleDescription(descriptions_.take(text));
  ShowModal(box, [this, text] {
    open_ = false;
    current_.clear();
    if (!closed_.contains(text)) closed_.append(text);
    if (!waiting_.isEmpty()) Schedule(waiting_.takeFirst());
  });
}

void RunGuarded(ErrorDisplay& errors, const std::function<void()>& handler, ErrorSource source,
                const std::function<QString(const Exception&)>& describe) {
  try {
    handler();
  } catch (const Exception& error) {
    errors.Report(error.Message(), source, describe ? describe(error) : QString());
  } catch (const std::exception& error) {
    errors.Report(error.what(), source);
  } catch (...) {
    errors.Report("Unknown error", source);
  }
}

ProgramNameOnly::ProgramNameOnly(char** argv) {
  static char unnamed[] = "vellora";
  argv_[0] = argv != nullptr && argv[0] != nullptr ? argv[0] : unnamed;
}

Application::Application(int /*argc*/, char** argv)
    : ProgramNameOnly(argv),
      QApplication(argc_, argv_),
      errors_(ApplicationTitle(applicationFilePath())) {
  InstallFontSubstitutions();
  if (toolkitSettings_.isValid()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, toolkitSettings_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, toolkitSettings_.path());
  }
}

void Application::InstallFontSubstitutions() {
  // Liberation Sans has the metrics of Arial and stands in for the window font as well.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  // The dialog font Windows names exists on every Windows; where it does not (Wine without its
  // own fonts), the dialogs take a sans-serif face instead of the first family on the list.
  const QStringList sansSerif = {QStringLiteral("Tahoma"), QStringLiteral("Microsoft Sans Serif"),
                                 QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
  for (const char* family : {"MS Shell Dlg", "MS Shell Dlg 2", "Segoe UI"}) {
    QFont::insertSubstitutions(QString::fromLatin1(family), sansSerif);
  }
}

bool Application::event(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) numtext::ReloadNumberFormat();
  return QApplication::event(event);
}

}  // namespace vellora::app
