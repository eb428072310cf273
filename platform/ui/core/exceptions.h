// The class library's exception classes. Every error the components raise derives from
// Exception, whose message is what the application's default error report shows.
#pragma once

#include <stdexcept>
#include <string>

namespace ui {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

#define QBK_UI_EXCEPTION(Name, Base)                                 \
    class Name : public Base {                                       \
    public:                                                          \
        explicit Name(const std::string& message) : Base(message) {} \
    }

QBK_UI_EXCEPTION(EAbort, Exception);         // silent exception: the error report ignores it
QBK_UI_EXCEPTION(EConvertError, Exception);  // "Cannot assign a X to a Y", bad number text
QBK_UI_EXCEPTION(EInvalidCast, Exception);
QBK_UI_EXCEPTION(EInvalidOperation, Exception);
QBK_UI_EXCEPTION(EOutOfResources, Exception);
QBK_UI_EXCEPTION(EListError, Exception);  // "List index out of bounds (%d)"
QBK_UI_EXCEPTION(EStringListError, EListError);
QBK_UI_EXCEPTION(EStreamError, Exception);
QBK_UI_EXCEPTION(EReadError, EStreamError);     // "Stream read error"
QBK_UI_EXCEPTION(EWriteError, EStreamError);    // "Stream write error"
QBK_UI_EXCEPTION(EFOpenError, EStreamError);    // "Cannot open file \"%s\". %s"
QBK_UI_EXCEPTION(EFCreateError, EStreamError);  // "Cannot create file \"%s\". %s"
QBK_UI_EXCEPTION(EInvalidGraphic, Exception);   // unknown picture format, corrupt picture data
QBK_UI_EXCEPTION(EInvalidGraphicOperation, Exception);
QBK_UI_EXCEPTION(EComponentError, Exception);
QBK_UI_EXCEPTION(EResNotFound, Exception);  // "Resource %s not found"     // duplicate or invalid component names

#undef QBK_UI_EXCEPTION

}  // namespace ui
