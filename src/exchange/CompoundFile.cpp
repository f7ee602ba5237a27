#include "CompoundFile.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

namespace
{

// Spreadsheet programs keep workbook streams this small in a different part of the compound
// file and some refuse that; shorter streams are padded up to it.
constexpr qsizetype MinStreamSize = 4096;

// Writes the container into `sink` and closes it; the sink stays referenced by the caller.
bool WriteContainer(GsfOutput* sink, const QByteArray& workbookStream, const char* streamName)
{
    GsfOutfile* container = gsf_outfile_msole_new(sink);
    GsfOutput* stream = gsf_outfile_new_child(container, streamName, FALSE);
    QByteArray padded = workbookStream;
    if (padded.size() < MinStreamSize)
        padded.append(QByteArray(MinStreamSize - padded.size(), '\0'));
    bool written = stream && gsf_output_write(stream, padded.size(),
                                              reinterpret_cast<const guint8*>(padded.constData()));
    if (stream) {
        written = gsf_output_close(stream) && written;
        g_object_unref(stream);
    }
    // Closing the container closes the sink as well.
    written = gsf_output_close(GSF_OUTPUT(container)) && written;
    g_object_unref(container);
    return written;
}

} // namespace

QByteArray CompoundFile::Build(const QByteArray& workbookStream, const char* streamName)
{
    GsfOutput* sink = gsf_output_memory_new();
    QByteArray file;
    if (WriteContainer(sink, workbookStream, streamName)) {
        const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
        file = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(gsf_output_size(sink)));
    }
    g_object_unref(sink);
    return file;
}
