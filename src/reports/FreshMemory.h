#pragma once

#include <QString>

// Room for a long text made ready before it is written. The first write to each page of fresh
// memory traps into the kernel, and on a virtual machine a trap costs more than filling the page:
// a remark of a hundred thousand characters is several dozen traps. Asking for the pages of the
// room in one call costs a fraction of that.
namespace FreshMemory
{

// Lengthens `text` by `more` characters of no given value, has their pages made ready where the
// system can, and returns where they start. The caller writes them and cuts off what it leaves
// unwritten (QString::truncate).
QChar* Extend(QString& text, qsizetype more);

} // namespace FreshMemory
