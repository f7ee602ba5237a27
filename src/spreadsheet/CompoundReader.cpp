#include "CompoundReader.h"

#include <QFile>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>

namespace
{

// Releases a GObject reference when leaving scope.
template <typename T> struct Ref {
    T* object = nullptr;
    ~Ref()
    {
        if (object)
            g_object_unref(object);
    }
};

constexpr gsf_off_t MaxStreamSize = 512LL * 1024 * 1024;
// Storages nest a few levels deep in real files; a deeper tree is damage.
constexpr int MaxDepth = 16;

QByteArray ClassId(GsfInfile* storage)
{
    guint8 id[16] = {};
    if (!GSF_IS_INFILE_MSOLE(storage) ||
        !gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(storage), id))
        return {};
    return QByteArray(reinterpret_cast<const char*>(id), 16);
}

bool ReadInput(GsfInput* input, QByteArray& data)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || size > MaxStreamSize)
        return false;
    data.resize(qsizetype(size));
    return size == 0 || gsf_input_read(input, size_t(size), reinterpret_cast<guint8*>(data.data()));
}

// Every entry below `storage` except the root's workbook stream, parents first.
bool ReadEntries(GsfInfile* storage, const QList<QByteArray>& path, QList<CompoundEntry>& entries,
                 gsf_off_t& total)
{
    if (path.size() > MaxDepth)
        return false;
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(storage, i);
        Ref<GsfInput> child{gsf_infile_child_by_index(storage, i)};
        if (!name || !child.object)
            return false;
        if (path.isEmpty() && (qstrcmp(name, "Workbook") == 0 || qstrcmp(name, "Book") == 0))
            continue;
        CompoundEntry entry;
        entry.path = path + QList<QByteArray>{QByteArray(name)};
        entry.storage =
            GSF_IS_INFILE(child.object) && gsf_infile_num_children(GSF_INFILE(child.object)) >= 0;
        if (entry.storage) {
            entry.classId = ClassId(GSF_INFILE(child.object));
            entries.append(entry);
            if (!ReadEntries(GSF_INFILE(child.object), entry.path, entries, total))
                return false;
        } else {
            if (!ReadInput(child.object, entry.data))
                return false;
            total += entry.data.size();
            if (total > MaxStreamSize)
                return false;
            entries.append(entry);
        }
    }
    return true;
}

} // namespace

bool CompoundReader::ReadWorkbook(const QString& path, QString& name, QByteArray& stream,
                                  QString& error, QList<CompoundEntry>* others)
{
    const QString unreadable = QStringLiteral("无法读取 Excel 97-2003 文件(文件损坏或不是工作簿)");
    GError* gerror = nullptr;
    Ref<GsfInput> input{gsf_input_stdio_new(QFile::encodeName(path).constData(), &gerror)};
    if (gerror)
        g_error_free(gerror);
    gerror = nullptr;
    if (!input.object) {
        error = unreadable;
        return false;
    }
    Ref<GsfInfile> container{gsf_infile_msole_new(input.object, &gerror)};
    if (gerror)
        g_error_free(gerror);
    if (!container.object) {
        error = unreadable;
        return false;
    }
    if (Ref<GsfInput> encrypted{gsf_infile_child_by_name(container.object, "EncryptedPackage")};
        encrypted.object) {
        error = QStringLiteral("文件有密码保护,无法读取");
        return false;
    }
    for (const char* candidate : {"Workbook", "Book"}) {
        Ref<GsfInput> child{gsf_infile_child_by_name(container.object, candidate)};
        if (!child.object)
            continue;
        const gsf_off_t size = gsf_input_size(child.object);
        gsf_off_t total = 0;
        if (size <= 0 || !ReadInput(child.object, stream)) {
            error = unreadable;
            return false;
        }
        if (others) {
            others->clear();
            CompoundEntry root;
            root.storage = true;
            root.classId = ClassId(container.object);
            others->append(root);
            if (!ReadEntries(container.object, {}, *others, total)) {
                error = unreadable;
                return false;
            }
        }
        name = QString::fromLatin1(candidate);
        return true;
    }
    error = unreadable;
    return false;
}
