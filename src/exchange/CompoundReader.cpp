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

} // namespace

bool CompoundReader::ReadWorkbook(const QString& path, QString& name, QByteArray& stream,
                                  QString& error)
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
        if (size <= 0 || size > MaxStreamSize) {
            error = unreadable;
            return false;
        }
        stream.resize(qsizetype(size));
        if (!gsf_input_read(child.object, size_t(size), reinterpret_cast<guint8*>(stream.data()))) {
            error = unreadable;
            return false;
        }
        name = QString::fromLatin1(candidate);
        return true;
    }
    error = unreadable;
    return false;
}
