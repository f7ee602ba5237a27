#pragma once

#include <QByteArray>

// Checks the record structure of a workbook stream before a reader walks it: every record
// within the stream and no longer than the format allows, every sheet offset at a sheet start.
namespace BiffCheck
{

bool IsSound(const QByteArray& stream);

} // namespace BiffCheck
