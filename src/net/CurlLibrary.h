#pragma once

#include <QString>
#include <curl/curl.h>

// libcurl, loaded the first time a transfer needs it instead of with the program: it brings some
// twenty libraries of its own (TLS, SSH, LDAP, Kerberos...), and loading them costs every start of
// quenlor-cli, most of which never go online.
struct TCurlLibrary {
    decltype(&curl_easy_init) EasyInit;
    decltype(&curl_easy_setopt) EasySetopt;
    decltype(&curl_easy_perform) EasyPerform;
    decltype(&curl_easy_getinfo) EasyGetinfo;
    decltype(&curl_easy_cleanup) EasyCleanup;
    decltype(&curl_easy_strerror) EasyStrerror;
    decltype(&curl_slist_append) SlistAppend;
    decltype(&curl_slist_free_all) SlistFreeAll;

    // The library, loaded and initialised once for the process; nullptr when it cannot be loaded,
    // with the reason in error.
    static const TCurlLibrary* Get(QString& error);
};
