#pragma once

#include <QString>

// Reads a Windows shortcut (".lnk") file by its published binary layout, so that shortcuts
// dropped from a Windows share or given on the command line still lead somewhere here.
class TKelmShellLink {
public:
    // Gives the name the extension ".lnk" when it has another one.
    void SetFileName(const QString& fileName);
    const QString& FileName() const { return FFileName; }

    // Loads the shortcut named by FileName. Throws TError("Link not found.") when no such file
    // exists and TError("Read error.") when it cannot be read, is not a shortcut, or its target
    // names nothing that exists on this machine.
    void Read();

    // The path the shortcut points to, with "/" separators; at most 260 characters.
    const QString& Target() const { return FTarget; }

private:
    QString FFileName;
    QString FTarget;
};
