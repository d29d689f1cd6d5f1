#pragma once
// The answers every source gives alike: errors, plain text, and a resource
// with its dates, entity tag and caching, answered 304 when the client has it.
#include "feed/server/request.h"

namespace nubivista::feed::server {

Reply errorReply(int status);
// An error whose cause the feed knows: the sentence goes in the page and the
// request log ("TSTL publishes no storm-total rainfall product").
Reply errorReply(int status, const QString& reason);
Reply plainReply(int status, const QByteArray& text);

// reply.body is the resource; the headers and the status follow from the
// request's conditions. HEAD gets the headers alone.
Reply resourceReply(const RequestInfo& request, Reply reply, const QByteArray& contentType,
                    qint64 lastModified, int maxAge, qint64 nowSeconds);

} // namespace nubivista::feed::server
