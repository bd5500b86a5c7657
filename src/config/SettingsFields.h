// The fields of the settings dialog: what Tallyvault.ini gives them, and the
// checks of what the user entered, field by field, before SaveConfiguration.
#pragma once

#include <cstddef>
#include <string>

#include "config/Configuration.h"
#include "messages/MessageTable.h"

namespace tv {

class AppContext;

// The dialog's starting values from the file; where a key is empty the default
// stays (size "25", year end 31 December, English, Auto-detect, both flags off).
SettingsInput ReadSettingsFields(const std::string& iniPath);

// The message ID of each field's error line, 0 where the field is correct.
struct SettingsFieldErrors {
    MessageId archivePath = 0;
    MessageId profilePath = 0;
    MessageId logPath = 0;
    MessageId maxSize = 0;
    MessageId yearEnd = 0;

    bool Any() const { return archivePath || profilePath || logPath || maxSize || yearEnd; }
};

// Checks every field (a failure does not stop the others). The archive folder is
// checked only when it is always used.
SettingsFieldErrors CheckSettingsFields(AppContext& ctx, const SettingsInput& input);

// Characters that the names of an archive run take inside the archive folder: a
// folder is usable when its length plus this stays below 260. `scaleType` is the
// context's ('0' dX, '1' ZT4, '2' not known yet, which counts as dX).
size_t ArchiveNameRoom(char scaleType, bool backupSmcOnArchive);

}  // namespace tv
