// Settings files as anyone may have edited them: any bytes must parse, every settings
// key must read from the result, and what is written back must read back the same.

#include "app/Settings.h"
#include "framework/profile/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void readBoth(Settings &settings, const IniFile &file)
{
    settings.read(Settings::Mode::Global, file);
    settings.read(Settings::Mode::Database, file);
}

void requireSameContents(const IniFile &a, const IniFile &b)
{
    const QStringList sections = a.sections();
    if (b.sections() != sections)
        std::abort();
    for (const QString &section : sections) {
        const QStringList keys = a.keys(section);
        if (b.keys(section) != keys)
            std::abort();
        for (const QString &key : keys) {
            if (b.value(section, key) != a.value(section, key))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    IniFile file;
    file.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    IniFile reparsed;
    reparsed.parse(file.toBytes());
    requireSameContents(file, reparsed);

    // Reading sets every value the settings files keep, so one object serves every input.
    static Settings settings(QStringLiteral("/start"));
    static Settings reread(QStringLiteral("/start"));
    readBoth(settings, file);
    IniFile written;
    settings.write(Settings::Mode::Global, written);
    settings.write(Settings::Mode::Database, written);
    IniFile writtenReparsed;
    writtenReparsed.parse(written.toBytes());
    readBoth(reread, writtenReparsed);
    if (!(reread == settings))
        std::abort();
    return 0;
}
