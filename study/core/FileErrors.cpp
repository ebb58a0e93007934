#include "FileErrors.h"

#include <cerrno>
#include <cstring>

namespace study {

std::string FileErrorText(int error)
{
    switch (error) {
    case ENOENT: return "нет такого файла или папки";
    case ENOTDIR: return "часть пути - не папка";
    case ENOSPC: return "нет места на диске";
    case EDQUOT: return "превышена дисковая квота";
    case EFBIG: return "превышен допустимый размер файла";
    case EACCES:
    case EPERM: return "нет прав на запись";
    case EROFS: return "файловая система только для чтения";
    case EIO: return "ошибка ввода-вывода";
    default: return std::strerror(error);
    }
}

} // namespace study
