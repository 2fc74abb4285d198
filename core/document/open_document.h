#pragma once
#include <string>

#include "document/document.h"

namespace kx {

// Loads FileName in Format into doc: attaches the store FileName + ".loc", runs the format's
// reader, and on success sets DocOpened. Returns false when the file cannot be read, the
// reader fails or the format is unknown (the caller shows "Не удалось открыть файл").
bool OpenDocument(Document& doc, const std::string& FileName, int Format);

// The close command's logic: writes the store, then empties the document and clears
// DocModified. Throws kx::Error when the store cannot be written; the document then stays
// open and modified, so nothing is lost.
void CloseDocument(Document& doc);

// The open command's discard: the document is dropped without writing the store.
void DiscardDocument(Document& doc);

}  // namespace kx
