#pragma once
#include <QString>

// The string table: command prompts ("prompt\ntool tip"), the document
// string and the web address.
namespace resources {

QString LoadString(int id); // empty for an unknown id

// One field of a "prompt\ntool tip" string: 0 the prompt, 1 the tool tip.
QString StringField(const QString &text, int field);

// Fields of the document string (IDR_MAINFRAME), newline separated.
enum class DocString { WindowTitle = 0, DocName, FileNewName, FilterName, FilterExt,
                       RegFileTypeId, RegFileTypeName };
QString LoadDocString(DocString field);

} // namespace resources
