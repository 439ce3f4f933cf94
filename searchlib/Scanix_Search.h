/* The search library's C interface: discovery of devices on the local network and the
 * configuration requests carried to them. Results come back through one callback, always
 * on a thread of the library's own, never on the caller's. */
#ifndef SCANIX_SEARCH_H
#define SCANIX_SEARCH_H

#if defined(_WIN32)
#if defined(SCANIX_SEARCH_BUILD)
#define SCANIX_SEARCH_API __declspec(dllexport)
#else
#define SCANIX_SEARCH_API __declspec(dllimport)
#endif
#else
#define SCANIX_SEARCH_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Kinds passed to the callback. */
enum
{
    SCANIX_KIND_FOUND = 1,           /* a device answered a search: "multicastSearchResult" */
    SCANIX_KIND_GONE = 2,            /* a device is gone: the text is not meaningful */
    SCANIX_KIND_CHANGED = 3,         /* a device's parameters changed: "multicastSearchResult" */
    SCANIX_KIND_SETIP_ANSWER = 10000 /* answer to SCANIX_SET_CONFIG: "multicastSearchResult" with "setIPResult" */
};

/* mac: writable "XX:XX:XX:XX:XX:XX" text; kind: one of the kinds above; xml: the document;
 * user: the context given to SCANIX_SEARCH_Initial. The return value is ignored. */
typedef int (*SCANIX_SEARCH_CALLBACK)(char* mac, int kind, const char* xml, void* user);

/* Starts the library's thread. option: the longest time a device may wait before it answers a
 * probe, in tens of milliseconds (96: 960 ms; 0 or less: 250 ms; at most 500). Returns 0, or -1
 * when the callback is null or the library already runs. */
SCANIX_SEARCH_API int SCANIX_SEARCH_Initial(SCANIX_SEARCH_CALLBACK callback, void* user, int option);
/* What the library remembers of each device lives as long as the library runs: the content it
 * last delivered and how many periodic rounds the device has been silent. Starting a search
 * (SCANIX_SEARCH_Manual or SCANIX_SEARCH_StartAuto) keeps both. After it, each device's first
 * report comes again as SCANIX_KIND_FOUND, so a caller that emptied its list fills it anew, and
 * then also as SCANIX_KIND_CHANGED when its content differs from what was delivered last, so a
 * caller that kept its list sees the change. Silence counts on across the restart: a device
 * silent for three whole periodic rounds in all is reported SCANIX_KIND_GONE. */
/* One search now (three probes). */
SCANIX_SEARCH_API int SCANIX_SEARCH_Manual(void);
/* A search now and every `seconds` seconds; 0 or less searches once. */
SCANIX_SEARCH_API int SCANIX_SEARCH_StartAuto(int seconds);
/* No more probes. While periodic search is off, devices neither come nor go by themselves:
 * only the replies to a SCANIX_SEARCH_Manual search, the answers to SCANIX_SET_CONFIG and the
 * reports of the device a pending SCANIX_SET_CONFIG names are delivered; hello, bye and
 * announcements of other devices are dropped. */
SCANIX_SEARCH_API int SCANIX_SEARCH_StopAuto(void);
SCANIX_SEARCH_API int SCANIX_SEARCH_Quit(void);
SCANIX_SEARCH_API int SCANIX_SET_CONFIG(const unsigned char* mac, const char* xml);
SCANIX_SEARCH_API int SCANIX_SET_DevRestoreDefault(const unsigned char* mac);

/* Beyond the seven functions above, which a caller needs, one it may ask for: the number of
 * device reports dropped since SCANIX_SEARCH_Initial because the library's device table was
 * full (a flood of invented devices, or a segment larger than the table). A non-zero value
 * means the devices reported are not all there are. Devices that answered a search of this
 * library are kept in preference: to make room for such an answer, a device never confirmed by
 * one (or else one silent since the search started) is forgotten and reported SCANIX_KIND_GONE.
 * Returns -1 when the library does not run. Any thread; it does not block. */
SCANIX_SEARCH_API long long SCANIX_SEARCH_DroppedReports(void);

#ifdef __cplusplus
}
#endif

#endif
