#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// The readers work on files, so every fuzz input becomes the contents of one scratch file (in a
// per-process folder under the temporary folder, removed at exit).
namespace FuzzFile {

// The per-process scratch folder.
const QString& Folder();

// Writes the input to the scratch file of that name in the scratch folder and returns its path.
// The readers of files chosen by their extension get a name with that extension.
QString Write(const uint8_t* data, size_t size, const QString& name = QStringLiteral("input.mp3"));
QByteArray Read(const QString& path);
// Writes a file below the scratch folder (creating its folders) and returns its path; for the
// files that an input may name.
QString Put(const QString& name, const QByteArray& bytes = {});
// Fails unless the file still holds exactly the input.
void CheckUnchanged(const QString& path, const uint8_t* data, size_t size);

// Stops the run with a message when a property of the code under test does not hold, so that
// libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* what);

} // namespace FuzzFile
