// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

class UserDefaults;

// A folder the user allowed us to rename in. Linux has no security-scoped
// bookmarks; our bookmark is the folder's path bytes with its device and
// inode, so that it resolves only to that same folder later.
struct AccessGrant
{
    QByteArray path;
    quint64 device = 0;
    quint64 inode = 0;

    // The grant for the folder at this path as it is now; nothing when no
    // folder is there.
    static std::optional<AccessGrant> forFolder(const QByteArray &path);
    QByteArray bookmarkData() const;
    static std::optional<AccessGrant> fromBookmarkData(const QByteArray &data);

    // The folder is still there under its path, with the same device and inode.
    bool resolves() const;
    // This process may create and remove entries in the folder and search it.
    bool startAccessing() const;
};

// The panel and the alert that a grant request shows. The window implements it
// with QFileDialog and QMessageBox; tests script it.
class AccessPrompt
{
public:
    virtual ~AccessPrompt() = default;
    // An application-modal folder chooser opened at proposedPath; the chosen
    // folder's path bytes, or nothing when the user cancelled.
    virtual std::optional<QByteArray> chooseFolder(const QString &title, const QString &prompt,
                                                   const QString &message,
                                                   const QByteArray &proposedPath) = 0;
    // An application-modal alert with the single button "OK".
    virtual void alert(const QString &message) = 0;
};

namespace AccessGrantKeys {
inline const QString sandboxscope = QStringLiteral("sandboxscope");
inline const QString rootlimit = QStringLiteral("rootlimit");
// Every grant given: each entry the folder's bookmark, or its bare path when
// no bookmark could be made.
inline const QString grants = QStringLiteral("accessgrants");
} // namespace AccessGrantKeys

// The texts of the grant request, in the user's language.
namespace AccessRequestText {
QString title();
QString prompt();
QString message();
QString declined();
} // namespace AccessRequestText

// The user's answer to the request: a chosen folder is added to the grants
// (true), replacing those below it; none stores nothing (false), and the
// caller shows the alert.
bool grantChosenFolder(const std::optional<QByteArray> &chosen, UserDefaults &defaults);

// Asks the user for access to a folder, proposing `path`. On confirmation the
// chosen folder is stored as the grant and the result is true; on cancel the
// alert says why access is needed and the result is false.
bool requestFilesystem(const QByteArray &path, AccessPrompt &prompt, UserDefaults &defaults);

// Whether a stored grant covers `accessRoot` (its folder or one above it) and
// can be used now.
bool storedGrantCovers(const QByteArray &accessRoot, UserDefaults &defaults);

// The granted folders, sorted by their bytes, each once.
QByteArrayList grantedFolders(const UserDefaults &defaults);
// Forgets the grant of exactly this folder; the next run there asks again.
void revokeGrant(const QByteArray &folder, UserDefaults &defaults);
