#pragma once

#include "platform/HttpSession.h"

#include <QString>

#include <optional>
#include <variant>

// Why a request brought no usable answer, the same cases for every client.
enum class TransportFailure { InvalidURL, Network, Timeout, TooLarge, BadStatus, NotJSON, Cancelled };

TransportFailure transportFailureFor(HttpResponse::JsonProblem problem);

// One client's words for the transport failures, each its fixed text for the
// user (marked with QT_TRANSLATE_NOOP in `context`); `badStatus` takes the
// status as %1.
struct TransportTexts {
    const char* context;
    const char* invalidURL;
    const char* network;
    const char* timeout;
    const char* tooLarge;
    const char* badStatus;
    const char* notJSON;
    const char* cancelled;
};

// The text of `failure` in a client's words; `detail` is the status of a BadStatus.
QString describe(TransportFailure failure, const TransportTexts& texts, const QString& detail);

// A client's failure: one of its own kinds or a transport failure, and the
// detail for the log (a status code, a parser message).
template <typename Own>
struct ClientError {
    using Kind = std::variant<Own, TransportFailure>;

    ClientError(Own own, QString detail = {})
        : kind(own)
        , detail(std::move(detail))
    {
    }
    ClientError(TransportFailure failure, QString detail = {})
        : kind(failure)
        , detail(std::move(detail))
    {
    }

    std::optional<TransportFailure> transport() const
    {
        if (const TransportFailure* failure = std::get_if<TransportFailure>(&kind))
            return *failure;
        return std::nullopt;
    }
    bool isCancelled() const { return transport() == TransportFailure::Cancelled; }

    friend bool operator==(const ClientError&, const ClientError&) = default;

    Kind kind;
    QString detail;
};
