#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tb::app {

// How the program hands addresses to the desktop. The desktop opens any scheme that has a
// handler, so these rules decide what may go out without asking.

// The address as a URL; one without a scheme (a bare host name) is read as the user would
// type it in a browser.
QUrl url_for_address(const QString& address);

// Whether the user is asked before the URL is opened: any scheme but http, https, ftp, mailto
// and file; for a feed item, whose address comes from a remote document, anything but http(s).
bool opening_needs_confirmation(const QUrl& url, bool feed_item = false);

// Whether an address may be passed to a program as its argument: one that starts with "-"
// would be read as an option.
bool address_is_safe_argument(const QString& address);

// Folders searched for the help files, in order: beside the program, the installed data
// folder, and the source tree for a program run from its build folder.
QStringList help_folders();
// "readme_<language>.html" from the first folder that holds it, or empty.
QString find_help_file(const QString& language, const QStringList& folders);

}  // namespace tb::app
