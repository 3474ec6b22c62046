#include "ui/editors/rew_messages.h"

#include "ui/shell/ui_language.h"

namespace ui {

namespace {

using core::params::RewProblem;

struct ProblemText {
  RewProblem problem;
  const char* zh;
  const char* en;
};

constexpr ProblemText kProblems[] = {
    {RewProblem::NoState, "缺少 ON 或 OFF", "ON or OFF is missing"},
    {RewProblem::BadState, "应为 ON 或 OFF", "ON or OFF was expected"},
    {RewProblem::NoType, "缺少滤波器类型", "the filter type is missing"},
    {RewProblem::Bandwidth, "带宽字段不能读取，请以 Q 值导出",
     "bandwidth fields are not read, export with Q"},
    {RewProblem::UnexpectedField, "有无法识别的字段", "a field is not understood"},
    {RewProblem::NoValue, "字段后缺少数值", "a field has no value"},
    {RewProblem::NotANumber, "数值无法读取", "a value is not a number"},
    {RewProblem::FcUnit, "频率单位不是 Hz", "the frequency unit is not Hz"},
    {RewProblem::GainUnit, "增益单位不是 dB", "the gain unit is not dB"},
    {RewProblem::QUnit, "Q 值不带单位", "Q takes no unit"},
    {RewProblem::NotAnEqualiser, "此均衡不能导入", "this equaliser takes no filter set"},
    {RewProblem::UnsupportedType,
     "不支持的滤波器类型（可用 PK、LS、LSC、HS、HSC、LP、LPQ、HP、HPQ、None）",
     "the filter type is not supported (PK, LS, LSC, HS, HSC, LP, LPQ, HP, HPQ, None)"},
    {RewProblem::NeedsFc, "缺少频率 Fc", "Fc is missing"},
    {RewProblem::NeedsGain, "缺少增益", "the gain is missing"},
    {RewProblem::NeedsQ, "缺少 Q 值", "Q is missing"},
    {RewProblem::PassTakesNoGain, "低通、高通滤波器不带增益", "a low- or high-pass takes no gain"},
    {RewProblem::FrequencyRange, "频率超出 20..20000 Hz", "Fc is outside 20..20000 Hz"},
    {RewProblem::GainRange, "增益超出 -15..+15 dB", "the gain is outside -15..+15 dB"},
    {RewProblem::QRange, "Q 值超出范围（参量 0.1..30，其他 0.1..2）",
     "Q is outside 0.1..30 (PK) or 0.1..2 (other types)"},
    {RewProblem::TooManyFilters, "滤波器多于此均衡的频段", "there are more filters than bands"},
};

}  // namespace

QString RewRefusalText(const UiLanguage& lang, const core::params::RewImportPlan& plan) {
  QString reason;
  for (const ProblemText& p : kProblems) {
    if (p.problem == plan.problem) reason = lang.Pick(p.zh, p.en);
  }
  if (reason.isEmpty()) reason = QString::fromStdString(plan.error);
  if (plan.errorLine <= 0) {
    return lang
        .Pick(QStringLiteral("REW 滤波器文件无法导入：%1。"),
              QStringLiteral("The REW filter file cannot be imported: %1."))
        .arg(reason);
  }
  return lang
      .Pick(QStringLiteral("REW 滤波器文件第 %1 行（滤波器 %2）无法导入：%3。"),
            QStringLiteral("Line %1 of the REW filter file (filter %2) cannot be imported: %3."))
      .arg(plan.errorLine)
      .arg(plan.errorFilter)
      .arg(reason);
}

}  // namespace ui
