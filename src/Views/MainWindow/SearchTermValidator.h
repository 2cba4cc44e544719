#pragma once

#include <QValidator>

// Holds the search field to the longest term the search sends. Text that
// would make it longer is cut as a length limit cuts it, at the end of what
// was just typed or pasted, but between whole characters, so an emoji or a
// flag never leaves a stray half that the request would carry as "?".
class SearchTermValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};
