// How the program starts: its data directory, the file or folder named on
// its command line, and the About entry that tells its version.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace tavo {

class MainWindow;

// The data directory of a program that runs from `app_dir`: "data" beside
// the program when that folder exists, or when the program runs from a
// folder the user can write to (a copy built or unpacked by hand); an
// installed program (its desktop entry under ../share/applications) or a
// read-only one uses "tavo-data" in the user's documents folder.
QString default_data_dir(const QString& app_dir);

// What the command line asks the window to open.
struct StartArgument {
    QString folder;     // the folder to list; empty: the data directory
    QString file_name;  // a file in `folder` to select and analyse
    QString problem;    // why the argument is not opened, for the status line
};

// `args` are the arguments after the program's name; only the first is used.
StartArgument resolve_start_argument(const QStringList& args);

// The window as the program opens it: centred on the screen, shown, then on
// the command line's folder with its file analysed as a click on it would.
std::unique_ptr<MainWindow> start_window(const QStringList& args);

// The text of the About box: the program's name and version.
QString about_text();

}  // namespace tavo
