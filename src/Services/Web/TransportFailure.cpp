#include "Services/Web/TransportFailure.h"

#include <QCoreApplication>

TransportFailure transportFailureFor(HttpResponse::JsonProblem problem)
{
    switch (problem) {
    case HttpResponse::JsonProblem::InvalidUrl:
        return TransportFailure::InvalidURL;
    case HttpResponse::JsonProblem::Network:
    case HttpResponse::JsonProblem::None:
        return TransportFailure::Network;
    case HttpResponse::JsonProblem::Timeout:
        return TransportFailure::Timeout;
    case HttpResponse::JsonProblem::TooLarge:
        return TransportFailure::TooLarge;
    case HttpResponse::JsonProblem::Cancelled:
        return TransportFailure::Cancelled;
    case HttpResponse::JsonProblem::BadStatus:
        return TransportFailure::BadStatus;
    case HttpResponse::JsonProblem::NotJson:
        return TransportFailure::NotJSON;
    }
    return TransportFailure::Network;
}

QString describe(TransportFailure failure, const TransportTexts& texts, const QString& detail)
{
    const auto text = [&texts](const char* source) { return QCoreApplication::translate(texts.context, source); };
    switch (failure) {
    case TransportFailure::InvalidURL:
        return text(texts.invalidURL);
    case TransportFailure::Network:
        return text(texts.network);
    case TransportFailure::Timeout:
        return text(texts.timeout);
    case TransportFailure::TooLarge:
        return text(texts.tooLarge);
    case TransportFailure::BadStatus:
        return text(texts.badStatus).arg(detail);
    case TransportFailure::NotJSON:
        return text(texts.notJSON);
    case TransportFailure::Cancelled:
        return text(texts.cancelled);
    }
    return {};
}
