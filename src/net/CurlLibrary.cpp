#include "net/CurlLibrary.h"

#include <dlfcn.h>
#include <optional>

namespace {

struct TLoaded {
    std::optional<TCurlLibrary> Library;
    QString Error;
};

template <class F> bool Resolve(void* handle, F& function, const char* name) {
    function = reinterpret_cast<F>(::dlsym(handle, name));
    return function != nullptr;
}

TLoaded Load() {
    // The library stays loaded for the rest of the process.
    void* const handle = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {std::nullopt, QString::fromLocal8Bit(::dlerror())};
    TCurlLibrary curl{};
    decltype(&curl_global_init) globalInit = nullptr;
    if (!Resolve(handle, globalInit, "curl_global_init") ||
        !Resolve(handle, curl.EasyInit, "curl_easy_init") ||
        !Resolve(handle, curl.EasySetopt, "curl_easy_setopt") ||
        !Resolve(handle, curl.EasyPerform, "curl_easy_perform") ||
        !Resolve(handle, curl.EasyGetinfo, "curl_easy_getinfo") ||
        !Resolve(handle, curl.EasyCleanup, "curl_easy_cleanup") ||
        !Resolve(handle, curl.EasyStrerror, "curl_easy_strerror") ||
        !Resolve(handle, curl.SlistAppend, "curl_slist_append") ||
        !Resolve(handle, curl.SlistFreeAll, "curl_slist_free_all"))
        return {std::nullopt, QString::fromLocal8Bit(::dlerror())};
    if (globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return {std::nullopt, QStringLiteral("libcurl could not be initialised")};
    return {curl, {}};
}

} // namespace

const TCurlLibrary* TCurlLibrary::Get(QString& error) {
    static const TLoaded loaded = Load();
    error = loaded.Error;
    return loaded.Library ? &*loaded.Library : nullptr;
}
