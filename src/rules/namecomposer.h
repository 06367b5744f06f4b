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
    // What the templates can hold, worked out once per settings, so that a
    // name whose text has no bracket skips the token passes.
    bool m_nameNeedsCounter = false;
    bool m_extNeedsCounter = false;
    bool m_hasSearch = false;
};
