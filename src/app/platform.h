// What the program does differently on a desktop and in a web page, one concern per function.
// Each has one implementation per platform (platform_*.cpp, chosen by the build).
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace vellora::app {

class SavePictureChooser;

// Shows a modal box and takes it over: it is deleted once closed, and `closed` runs then. The
// run goes on while it is open. On a desktop this returns after the box closed (a nested event
// loop); in a page it returns at once, the box staying open over the page.
void ShowModal(QDialog* box, const std::function<void()>& closed);

// The file File > Save Image As... writes the picture to, or nothing when the user cancelled: on
// a desktop the one the user picks in the save dialog; in a page a file of the page's own memory,
// which HandOverPicture then hands to the browser.
std::optional<QString> ChoosePictureFile(SavePictureChooser& chooser, QWidget* owner);

// After the picture was written to `path`: nothing on a desktop; in a page the file's bytes go to
// the browser's own save dialog (or its downloads) as "vellora.bmp", and the file is removed.
void HandOverPicture(const QString& path);

// Shows the main window: at its place on a desktop; in a page filling an area of the window's
// size, the page's own frame around it.
void ShowMainWindow(QWidget& window);

}  // namespace vellora::app
