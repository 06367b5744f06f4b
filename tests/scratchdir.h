// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

// A temporary folder for trees with names that are not UTF-8 and folders
// without write permission, which QTemporaryDir cannot remove (QDir skips
// such names). Searchable by everyone, so that a child without privileges can
// reach what lies inside.
class ScratchDir
{
public:
    ScratchDir()
    {
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/velnor-test-XXXXXX";
        if (mkdtemp(pattern.data()) && chmod(pattern.constData(), 0755) == 0)
            m_path = pattern;
    }
    ~ScratchDir()
    {
        if (m_path.isEmpty())
            return;
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::path root(m_path.toStdString());
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, error);
        for (auto it = fs::recursive_directory_iterator(root, error);
             it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_directory(error) && !it->is_symlink(error))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(root, error);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QByteArray &path() const { return m_path; }
    QByteArray path(const QByteArray &relative) const { return m_path + '/' + relative; }
    QString filePath(const QString &relative) const
    {
        return QFile::decodeName(m_path) + u'/' + relative;
    }

private:
    QByteArray m_path;
};
