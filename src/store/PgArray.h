#pragma once

#include <QString>
#include <QVariantList>

// A PostgreSQL array literal of values, bound as one text: a whole column of a batch in one
// parameter, so a statement's text, and its plan, stay the same however many rows it carries.
// Every element is quoted, so no value is read as a keyword; a null value is NULL.
namespace PgArray
{
QString Literal(const QVariantList& values);
} // namespace PgArray
