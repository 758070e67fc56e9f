// The application object: its title, the error display and the guard that keeps every error
// raised by a handler inside the handler's own entry point, plus the reload of the number
// separators when the desktop's regional settings change.
#pragma once

#include <QApplication>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "base/errors.h"

namespace vellora::app {

// The title of the program as message boxes show it: the executable's file name without its
// folder, cut before its first ".", with every character after the first in lower case
// ("/opt/SIMULATE.EXE" gives "Simulate").
QString ApplicationTitle(const QString& executablePath);

// The text the error box shows for a message: a "." is added when the last character's code is
// above that of "." (so not after ".", a blank, "!", ")" or a quote); an empty message stays
// empty. For a character of several bytes, its first byte counts; in UTF-8 every byte of such a
// character is above ".".
std::string ErrorBoxText(const std::string& message);

// Where an error came from: the running simulation (a tick, a chart's repaint), which repeats
// on its own, or a command the user gave.
enum class ErrorSource { kRun, kCommand };

// The modal error box: stop icon, the application title as caption, the message with its full
// stop, one "OK" button. Boxes are opened from the event loop, after the handler that failed has
// returned, so the timer keeps ticking while one is open. At most one box is open (or about to
// open) at a time.
//
// A run error raised while a box is open or waiting is dropped, and so is one whose text the user
// has already closed a box on since the last thing the user did (UserActed): a failing tick comes
// back every period, and the box must not trap the user. A command's error is never dropped: it
// waits for the box before it and is shown after it, unless that very message is already on the
// screen or waiting.
class ErrorDisplay : public QObject {
 public:
  explicit ErrorDisplay(QString title, QObject* parent = nullptr);

  const QString& Title() const { return title_; }

  // Schedules the box for the message, or queues or drops it as described above. A description
  // (which edit's text was refused) is what the box tells a screen reader besides its text.
  void Report(const std::string& message, ErrorSource source = ErrorSource::kRun,
              const QString& description = {});

  // The user did something (edited a parameter, moved the track bar, gave a command): the
  // messages closed so far may be shown again.
  void UserActed() { closed_.clear(); }

  bool BoxOpen() const { return open_; }
  // Whether a box is open or waiting for the event loop to open it.
  bool Busy() const { return pending_ || open_; }
  // Run errors that were dropped.
  int Suppressed() const { return suppressed_; }

 private:
  void Schedule(const QString& text);
  void ShowBox(const QString& text);

  QString title_;
  bool pending_ = false;
  bool open_ = false;
  int suppressed_ = 0;
  // The message of the box that is open or about to open.
  QString current_;
  // Commands' messages waiting for the box before them, oldest first, each once.
  QStringList waiting_;
  // The messages of the boxes the user closed since the last thing the user did.
  QStringList closed_;
  // The accessible description of each message's box, when it has one.
  QHash<QString, QString> descriptions_;
};

// Runs a handler and hands any error it raises to the error display, so that no exception ever
// crosses the toolkit's event loop. `describe` gives the box's accessible description of one of
// the program's errors.
void RunGuarded(ErrorDisplay& errors, const std::function<void()>& handler,
                ErrorSource source = ErrorSource::kRun,
                const std::function<QString(const Exception&)>& describe = {});

// The argument list the toolkit gets: the program's name alone. The program has no command line,
// so nothing typed after the name (the toolkit's own -style, -reverse, ...) changes it.
class ProgramNameOnly {
 protected:
  explicit ProgramNameOnly(char** argv);

  int argc_ = 1;
  char* argv_[2] = {nullptr, nullptr};
};

// QApplication with the program's title, its error display, the font substitutions for the
// window description's fonts, and the reload of the number separators on a locale change. Of the
// arguments only the program's name reaches the toolkit; argc and argv are left as they are.
class Application : private ProgramNameOnly, public QApplication {
 public:
  Application(int argc, char** argv);

  const QString& Title() const { return errors_.Title(); }
  ErrorDisplay& Errors() { return errors_; }

  // Makes the fonts the window description names resolve to installed ones with the same metrics.
  static void InstallFontSubstitutions();

  // Where the toolkit keeps its own settings (the file dialog's last folder and view): a folder
  // of this run that is removed when the program ends, since the program keeps no state between
  // runs and writes no file but the pictures the user saves.
  QString ToolkitSettingsFolder() const { return toolkitSettings_.path(); }

 protected:
  bool event(QEvent* event) override;

 private:
  QTemporaryDir toolkitSettings_;
  ErrorDisplay errors_;
};

}  // namespace vellora::app
