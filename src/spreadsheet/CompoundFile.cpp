#include "CompoundFile.h"

#include <QHash>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

namespace
{

// Spreadsheet programs keep workbook streams this small in a different part of the compound
// file and some refuse that; shorter streams are padded up to it.
constexpr qsizetype MinStreamSize = 4096;

bool WriteStream(GsfOutfile* parent, const char* name, const QByteArray& data)
{
    GsfOutput* stream = gsf_outfile_new_child(parent, name, FALSE);
    if (!stream)
        return false;
    bool written =
        data.isEmpty() ||
        gsf_output_write(stream, data.size(), reinterpret_cast<const guint8*>(data.constData()));
    written = gsf_output_close(stream) && written;
    g_object_unref(stream);
    return written;
}

void SetClassId(GsfOutfile* storage, const QByteArray& classId)
{
    if (classId.size() == 16)
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(storage),
                                       reinterpret_cast<const guint8*>(classId.constData()));
}

// Writes the container into `sink` and closes it; the sink stays referenced by the caller.
// Storages are closed after their children, the root (which closes the sink) last.
bool WriteContainer(GsfOutput* sink, const QByteArray& workbookStream,
                    const QList<CompoundEntry>& others)
{
    GsfOutfile* container = gsf_outfile_msole_new(sink);
    QByteArray padded = workbookStream;
    if (padded.size() < MinStreamSize)
        padded.append(QByteArray(MinStreamSize - padded.size(), '\0'));
    bool written = WriteStream(container, "Workbook", padded);
    QHash<QList<QByteArray>, GsfOutfile*> storages{{{}, container}};
    QList<GsfOutfile*> opened;
    for (const CompoundEntry& entry : others) {
        if (entry.path.isEmpty()) {
            SetClassId(container, entry.classId);
            continue;
        }
        GsfOutfile* parent = storages.value(entry.path.first(entry.path.size() - 1));
        if (!parent) {
            written = false;
            break;
        }
        const char* name = entry.path.last().constData();
        if (!entry.storage) {
            written = WriteStream(parent, name, entry.data) && written;
            continue;
        }
        GsfOutput* storage = gsf_outfile_new_child(parent, name, TRUE);
        if (!storage) {
            written = false;
            break;
        }
        SetClassId(GSF_OUTFILE(storage), entry.classId);
        storages.insert(entry.path, GSF_OUTFILE(storage));
        opened.append(GSF_OUTFILE(storage));
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
        written = gsf_output_close(GSF_OUTPUT(*it)) && written;
        g_object_unref(*it);
    }
    // Closing the container closes the sink as well.
    written = gsf_output_close(GSF_OUTPUT(container)) && written;
    g_object_unref(container);
    return written;
}

} // namespace

QByteArray CompoundFile::Build(const QByteArray& workbookStream, const QList<CompoundEntry>& others)
{
    GsfOutput* sink = gsf_output_memory_new();
    QByteArray file;
    if (WriteContainer(sink, workbookStream, others)) {
        const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
        file = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(gsf_output_size(sink)));
    }
    g_object_unref(sink);
    return file;
}
