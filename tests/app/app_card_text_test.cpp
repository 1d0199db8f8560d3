// How a diagnosis reads in the panel, the report and the comparison: one
// condition when the model is sure enough, the two likeliest with their
// probabilities and what speaks for each when it is not.
#include <QtTest>

#include "summary/analysis_summary.h"

using namespace tavo;

class CardTextTest : public QObject {
    Q_OBJECT
private slots:
    void sureNamesOneCondition();
    void unsureNamesTheTwoLikeliest();
};

namespace {
condition::CardDiagnosis pound() {
    condition::CardDiagnosis d;
    d.condition = "LIQUID_NOT_ENOUGH";
    d.name = "供液不足";
    d.confidence = 0.93;
    d.runner_up = "GAS_EFFECTIVE";
    d.runner_up_name = "气体影响";
    d.runner_up_confidence = 0.04;
    d.evidence = {"下冲程卸载点在冲程的 48 %处（满泵应接近 100 %）"};
    d.runner_up_evidence = {"下冲程卸载过程占冲程的 30 %（满泵卸载迅速，气体影响时缓慢）"};
    return d;
}

std::string figure(const std::vector<summary::Section>& sections, const std::string& key) {
    for (const summary::Section& s : sections)
        for (const summary::Figure& f : s.figures)
            if (f.key == key) return f.value;
    return "<none>";
}
}  // namespace

void CardTextTest::sureNamesOneCondition() {
    summary::Analysis a;
    a.card = pound();
    QCOMPARE(summary::condition_text(a.card), std::string("供液不足"));
    QCOMPARE(summary::card_evidence(a.card), a.card.evidence);
    const auto sections = summary::analysis_sections(a);
    QCOMPARE(figure(sections, "card.condition"), std::string("供液不足"));
    QCOMPARE(figure(sections, "card.confidence"), std::string("93%"));
    QCOMPARE(figure(sections, "card.runner_up"), std::string("气体影响（4%）"));
    // The measured accuracy, in words, where the report prints it.
    QVERIFY(sections.back().note.find("交叉验证") != std::string::npos);
    condition::CardDiagnosis none;
    QCOMPARE(summary::condition_text(none), std::string("—"));
}

void CardTextTest::unsureNamesTheTwoLikeliest() {
    condition::CardDiagnosis d = pound();
    d.confidence = 0.48;
    d.runner_up_confidence = 0.31;
    d.needs_review = true;
    QCOMPARE(summary::condition_text(d), std::string("不确定：供液不足48%或气体影响31%"));
    const std::vector<std::string> ev = summary::card_evidence(d);
    QCOMPARE(ev.size(), std::size_t{2});
    QVERIFY(ev[0].rfind("供液不足：下冲程卸载点", 0) == 0);
    QVERIFY(ev[1].rfind("气体影响：下冲程卸载过程", 0) == 0);
    summary::Analysis a;
    a.card = d;
    QCOMPARE(summary::analysis_sections(a).back().evidence, ev);
    // The comparison's narrow column: the two names only.
    QCOMPARE(summary::compare_entry(State{}, a).condition, std::string("不确定：供液不足/气体影响"));
    a.card.needs_review = false;
    QCOMPARE(summary::compare_entry(State{}, a).condition, std::string("供液不足"));
}

QTEST_GUILESS_MAIN(CardTextTest)
#include "app_card_text_test.moc"
