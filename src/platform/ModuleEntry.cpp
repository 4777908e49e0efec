#include "ModuleEntry.h"

#include <QLibrary>

namespace platform {

QFunctionPointer moduleEntry(const std::filesystem::path& path, const char* name, QString& error) {
    QLibrary module(QString::fromStdString(path.string()));
    const QFunctionPointer entry = module.resolve(name);
    if (!entry)
        error = module.errorString();
    return entry;
}

} // namespace platform
