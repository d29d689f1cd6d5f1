#pragma once
// The answers every source gives alike: errors, plain text, and a resource
// with its dates, entity tag and caching, answered 304 when the client has it.
#include "feed/server/request.h"

namespace nubivista::feed::server {

// Every picture names the source that drew it ("live" or "sim"), so that the
// program never keeps one source's picture as another's.
inline constexpr char kSourceHeader[] = "X-Nubivista-Source";

Reply errorReply(int status);
// An error whose cause the feed knows: the sentence goes in the page, in the
// header X-Nubivista-Reason for the program's messages, and in the request
// log ("TSTL publishes no long-range composite reflectivity product"). The
// detail, for whoever looks closer, goes in the page and the log.
Reply errorReply(int status, const QString& reason, const QString& detail = {});
Reply plainReply(int status, const QByteArray& text);

// reply.body is the resource; the headers and the status follow from the
// request's conditions. HEAD gets the headers alone.
Reply resourceReply(const RequestInfo& request, Reply reply, const QByteArray& contentType,
                    qint64 lastModified, int maxAge, qint64 nowSeconds);

} // namespace nubivista::feed::server
