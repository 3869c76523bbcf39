#include "score_forms.h"

#include "number_text.h"
#include "row_scorer.h"

namespace tizhi::cli {

namespace {

QString textOf(std::string_view cell)
{
    const std::string_view trimmed = trimText(cell);
    return QString::fromUtf8(trimmed.data(), qsizetype(trimmed.size()));
}

} // namespace

void ScoreForms::start(const HeaderColumns &header,
                       const std::vector<std::pair<std::size_t, std::string>> &extraNames)
{
    header_ = header;
    at_ = formColumnPositions(extraNames);
}

void ScoreForms::row(std::int64_t line, const std::vector<std::string_view> &cells,
                     const ScoredRecord &scored)
{
    // The scorer has told the row's error; a form would show no scores.
    if (!scored.error.empty()) {
        ++withoutForm_;
        return;
    }
    if (files_.failed())
        return;
    const auto cell = [this, &cells](FormColumn column) {
        return at_[column] >= 0 ? cells[std::size_t(at_[column])] : std::string_view();
    };
    forms::FormContent form;
    form.form33 = form_ == Form::Items33;
    if (!trimText(cell(kTimeColumn)).empty()) {
        const std::optional<QDateTime> time = parseTestTime(cell(kTimeColumn));
        if (!time) {
            ++withoutForm_;
            tell({line, std::size_t(at_[kTimeColumn]) + 1,
                  "no form: " + badTimeMessage(cell(kTimeColumn))});
            return;
        }
        form.testTime = *time;
    }
    const std::string_view id =
        header_.idColumn >= 0 ? cells[std::size_t(header_.idColumn)] : std::string_view();
    form.identNo = textOf(id);
    form.name = textOf(cell(kNameColumn));
    form.doctor = textOf(cell(kDoctorColumn));
    form.site = textOf(cell(kSiteColumn));
    if (header_.layout == HeaderColumns::Layout::Answers33)
        for (std::size_t k = 0; k < form.answers.size(); ++k)
            form.answers[k] = trimText(cells[header_.columns[k]]);
    form.record = scored.record;
    files_.write(id, line, form);
}

} // namespace tizhi::cli
