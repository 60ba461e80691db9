// The desktop services the windows use: opening a file or an address with the desktop's
// default program, picking a folder, the help pages, and message boxes that the engines' worker
// threads may raise as well.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>
#include <string_view>

#include "base/Messages.h"

class QWidget;

namespace zyl::ui {

// The program title: caption of every message box.
inline constexpr std::string_view kProgramTitle = "ZYL";
// The product's web site, opened by the manager's help menu.
inline constexpr std::string_view kWebSite = "https://zyl.example.org/";

// Help context numbers: the contents, the search window, the query builder, the server window
// and the options dialog. Each lands on a section of the help pages.
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpSearchWindow = 30;
inline constexpr int kHelpQueryBuilder = 230;
inline constexpr int kHelpServerWindow = 400;
inline constexpr int kHelpOptionsDialog = 500;

// The roots of the file system for the folder pickers: one root here.
std::string GetDriveList();

// Opens `target` (a path or an address) with the desktop's default program. The result is not
// reported, as a desktop that cannot open it shows its own error.
void ShellOpen(QWidget* owner, std::string_view target);
// Replaces the desktop opener (tests record the addresses instead of starting a browser).
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);

// The folder chosen in the system folder picker, or "" when cancelled.
std::string BrowseForFolder(QWidget* owner, std::string_view title);

// The address of a help context in the help file: the file itself for the contents, its
// section "#context-N" otherwise.
QUrl HelpUrl(std::string_view helpFile, int context);
// Opens the configured help file at `context`; "Файл помощи не найден" when there is none.
void ShowHelp(QWidget* owner, int context);

// A modal message box with the program title; safe to call from any thread (a worker waits
// until the box is answered).
void ShowMessageBox(QWidget* owner, const base::Message& message);

}  // namespace zyl::ui
