#pragma once

#include "platform/HttpSession.h"

// Turns the reason an answer cannot be used into a client's own error case.
// Every web client's ServiceError names these cases alike; each keeps its
// own enumeration because each words its texts for the user its own way.
template <typename ServiceError>
ServiceError serviceErrorFor(HttpResponse::JsonProblem problem)
{
    switch (problem) {
    case HttpResponse::JsonProblem::InvalidUrl:
        return ServiceError::InvalidURL;
    case HttpResponse::JsonProblem::Network:
    case HttpResponse::JsonProblem::None:
        return ServiceError::Network;
    case HttpResponse::JsonProblem::Timeout:
        return ServiceError::Timeout;
    case HttpResponse::JsonProblem::TooLarge:
        return ServiceError::TooLarge;
    case HttpResponse::JsonProblem::Cancelled:
        return ServiceError::Cancelled;
    case HttpResponse::JsonProblem::BadStatus:
        return ServiceError::BadStatus;
    case HttpResponse::JsonProblem::NotJson:
        return ServiceError::NotJSON;
    }
    return ServiceError::Network;
}
