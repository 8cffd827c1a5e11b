#include "software/Trash.h"

#include <cerrno>

namespace Trash {

TrashError errorFromErrno(int error)
{
    const QString description = qt_error_string(error);
    switch (error) {
    case ENOENT:
        return {cocoaDomain.toString(), noSuchFile, description};
    case EACCES:
    case EPERM:
        return {cocoaDomain.toString(), noWritePermission, description};
    default:
        return {posixDomain.toString(), error, description};
    }
}

} // namespace Trash
