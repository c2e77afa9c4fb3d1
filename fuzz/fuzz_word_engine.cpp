// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the document engine's whole automation surface over one input file. Each input is
// written to an in-memory file and opened by path, as the program opens documents; every built-in
// property is then read by number and by name and converted to text in two locales. The document is read
// a second time with counting on, so that the counters also see documents that store their counts.
#include "word/Application.h"
#include "word/BuiltinProperty.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct MemoryFile {
    int fd = -1;
    QString path;
    MemoryFile()
    {
        fd = memfd_create("fuzz-document", 0);
        if (fd < 0) {
            perror("memfd_create");
            abort();
        }
        path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    }
    void fill(const uint8_t *data, size_t size)
    {
        if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
            abort();
    }
};

void touch(const word::PropertyValue &v)
{
    // The parts a display or an export takes from the value.
    if (v.type() == word::PropertyValue::Type::DateTime)
        (void)v.asDateTime().toString(Qt::ISODate);
    try {
        (void)v.toInt32();
    } catch (const word::Error &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static MemoryFile file;
    file.fill(data, size);
    word::Application app;
    try {
        const auto doc = app.open(file.path);
        for (int number = 0; number <= 31; ++number) {
            try {
                touch(doc->builtinProperty(number));
            } catch (const word::Error &) {
            }
        }
        for (const word::BuiltinInfo &p : word::builtinProperties()) {
            try {
                touch(app.activeDocument()->builtinProperty(QLatin1String(p.name)));
            } catch (const word::Error &) {
            }
        }
        doc->close(0);
    } catch (const word::Error &) {
        // Documents that cannot be opened fail with a readable error: that is the expected outcome.
    }
    app.quit();
    try {
        word::ReadOptions recount;
        recount.recount = true;
        const word::DocumentProperties counted = word::readDocumentProperties(file.path, recount);
        for (const word::BuiltinInfo &p : word::builtinProperties()) {
            if (const auto v = counted.get(p.id))
                touch(*v);
        }
    } catch (const word::Error &) {
    }
    return 0;
}
