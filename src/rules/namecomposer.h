#pragma once

#include "renamesettings.h"

class ZQFile;

// Turns a file record and its counter index into the file's new name under
// one set of rename settings. Pure: the same settings, name, date and index
// always give the same name.
class NameComposer
{
public:
    explicit NameComposer(const RenameSettings &settings = {});

    const RenameSettings &settings() const { return m_settings; }

    QString newNameForFile(const ZQFile &file, qint64 index) const;

private:
    RenameSettings m_settings;
    // The default templates give a name without brackets back unchanged.
    bool m_identityTemplates = false;
    // "[E]" alone gives the old extension, unless that holds a bracket.
    bool m_extIsPlainTag = false;
    bool m_hasSearch = false;
};
