// The constitution catalogue: the nine TCM constitution types, the answer
// scale, the 33-item questionnaire for middle-aged and elderly people and the
// nine lists of the 66-item questionnaire, with every text the windows show.
// Everything else takes its vocabulary from here; nothing here has state.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tizhi {

// Which positions of an item string count reversed (6 - v).
enum class Keying {
    Plain,    // every position forward: the eight biased types
    PingHe33, // position 1 forward, 2 and later reversed
    PingHe66, // positions 1 and 6 forward, 2-5, 7 and later reversed
};

enum class Sex { Any, Female, Male };

struct Question66 {
    std::string_view text;
    bool reversed;
    Sex appliesTo;
};

struct ConstitutionType {
    int code;                       // 1 YangXu ... 9 PingHe
    std::string_view pinyin;        // "YangXu": part of every control name of the type
    std::string_view upperPinyin;   // "YANGXU": part of every record field name
    std::string_view displayName;   // "阳虚体质"
    std::array<int, 5> questions33; // 33-item question numbers in item-string order
    int questionCount33;            // 4, or 5 for PingHe
    int counted66;                  // n, the divisor base of the transformed score
    Keying keying33;
    Keying keying66;
    std::span<const Question66> questions66; // one row per item-string slot

    bool isBiased() const { return code != 9; }
    std::span<const int> questions33Used() const
    {
        return std::span<const int>(questions33.data(), static_cast<std::size_t>(questionCount33));
    }
};

inline constexpr std::array<Question66, 7> kYangXuQuestions = {{
    {"您手脚发凉吗？", false, Sex::Any},
    {"您胃脘部、背部或者腰膝部怕冷吗？", false, Sex::Any},
    {"您感到怕冷、衣服比别人穿得多吗？", false, Sex::Any},
    {"您比一般人耐受不了寒冷（冬天的寒冷，夏天的冷空调，电扇等）吗？", false, Sex::Any},
    {"您比别人容易患感冒吗？", false, Sex::Any},
    {"您吃（喝）凉的东西会感到不舒服或者怕吃（喝）凉东西吗？", false, Sex::Any},
    {"您受凉或者吃（喝）凉的东西后，容易腹泻（拉肚子）吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 8> kYinXuQuestions = {{
    {"您感到手脚心发热吗？", false, Sex::Any},
    {"您感觉身体、脸上发热吗？", false, Sex::Any},
    {"您皮肤或者口唇干吗？", false, Sex::Any},
    {"您口唇的颜色比一般人红吗？", false, Sex::Any},
    {"您容易便秘或者大便干燥吗？", false, Sex::Any},
    {"您面部、两颧潮红或者偏红吗？", false, Sex::Any},
    {"您感到眼睛干涩吗？", false, Sex::Any},
    {"您感到口干咽燥、总想喝水吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 8> kQiXuQuestions = {{
    {"您容易疲乏吗？", false, Sex::Any},
    {"您容易气短（呼吸短促，接不上气）吗？", false, Sex::Any},
    {"您容易心慌吗？", false, Sex::Any},
    {"您容易头晕或者站起时晕眩吗？", false, Sex::Any},
    {"您比别人容易患感冒吗？", false, Sex::Any},
    {"您喜欢安静、懒得说话吗？", false, Sex::Any},
    {"您说话声音低弱无力吗？", false, Sex::Any},
    {"您活动量稍大就容易出虚汗吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 8> kTanShiQuestions = {{
    {"您感到胸闷或者腹部胀满吗？", false, Sex::Any},
    {"您感到身体沉重不轻松或者不爽快吗？", false, Sex::Any},
    {"您腹部肥满松软吗？", false, Sex::Any},
    {"您有额部油脂分泌多的现象吗？", false, Sex::Any},
    {"您上眼睑比别人肿（上眼睑有轻微隆起的现象）吗？", false, Sex::Any},
    {"您嘴里有黏黏的感觉吗？", false, Sex::Any},
    {"您平时痰多，特别是咽喉部总感到有痰堵着吗？", false, Sex::Any},
    {"您舌苔厚腻或者有舌苔厚厚的感觉吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 7> kShiReQuestions = {{
    {"您面部或者鼻部有油腻感或者油亮发光吗？", false, Sex::Any},
    {"您容易生座疮或者疮疖吗？", false, Sex::Any},
    {"您感到口苦或者嘴里有异味吗？", false, Sex::Any},
    {"您大便黏滞不爽、有解不尽的感觉吗？", false, Sex::Any},
    {"您小便时尿道有发热感、尿色浓(深)吗？", false, Sex::Any},
    {"您带下色黄（白带颜色发黄）吗？（限女性回答）", false, Sex::Female},
    {"您的阴囊部位潮湿吗？（限男性回答）", false, Sex::Male},
}};

inline constexpr std::array<Question66, 7> kXueYuQuestions = {{
    {"您的皮肤在不知不觉中会出现青紫瘀斑（皮下出血）吗？", false, Sex::Any},
    {"您两颧部有细微红丝吗？", false, Sex::Any},
    {"您身体上有哪里疼痛吗？", false, Sex::Any},
    {"您面色晦暗或者容易出现褐斑吗？", false, Sex::Any},
    {"您容易有黑眼圈吗？", false, Sex::Any},
    {"您容易忘事（健忘）吗？", false, Sex::Any},
    {"您口唇颜色偏黯吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 7> kQiYuQuestions = {{
    {"您感到闷闷不乐、情绪低沉吗？", false, Sex::Any},
    {"您容易精神紧张、焦虑不安吗？", false, Sex::Any},
    {"您多愁善感、感情脆弱吗？", false, Sex::Any},
    {"您容易感到害怕或者受到惊吓吗？", false, Sex::Any},
    {"您胁肋部或者乳房胀满吗？", false, Sex::Any},
    {"您无缘无故叹气吗？", false, Sex::Any},
    {"您咽喉部有异物感，且吐之不出、咽之不下吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 7> kTeBingQuestions = {{
    {"您没有感冒时也会打喷嚏吗？", false, Sex::Any},
    {"您没有感冒时鼻塞、流鼻涕吗？", false, Sex::Any},
    {"您有因季节变化、温度变化或者异味等原因而咳喘的现象吗？", false, Sex::Any},
    {"您容易过敏（对药物、食物、气味、花粉或者在季节交替、气候变化时）吗？", false, Sex::Any},
    {"您的皮肤容易起荨麻疹（风团、风疹块、风疙瘩）吗？", false, Sex::Any},
    {"您的皮肤因过敏出现过紫癜（紫红色瘀点、瘀斑）吗？", false, Sex::Any},
    {"您的皮肤一抓就红，并出现抓痕吗？", false, Sex::Any},
}};

inline constexpr std::array<Question66, 8> kPingHeQuestions = {{
    {"您精力充沛吗？", false, Sex::Any},
    {"您容易疲乏吗？ *", true, Sex::Any},
    {"您说话声音低弱无力吗？ *", true, Sex::Any},
    {"您感到闷闷不乐、情绪低沉吗？ *", true, Sex::Any},
    {"您比一般人耐受不了寒冷（冬天的寒冷，夏天的冷空调，电扇等）吗？ *", true, Sex::Any},
    {"您能适应外界自然和社会环境的变化吗？", false, Sex::Any},
    {"您容易失眠吗？ *", true, Sex::Any},
    {"您容易忘事（健忘）吗？ *", true, Sex::Any},
}};

inline constexpr int kTypeCount = 9;
inline constexpr int kPingHeCode = 9;

// In type-code order: index i holds type code i + 1.
inline constexpr std::array<ConstitutionType, kTypeCount> kTypes = {{
    {1,
     "YangXu",
     "YANGXU",
     "阳虚体质",
     {11, 12, 13, 29, 0},
     4,
     7,
     Keying::Plain,
     Keying::Plain,
     kYangXuQuestions},
    {2,
     "YinXu",
     "YINXU",
     "阴虚体质",
     {10, 21, 26, 31, 0},
     4,
     8,
     Keying::Plain,
     Keying::Plain,
     kYinXuQuestions},
    {3,
     "QiXu",
     "QIXU",
     "气虚体质",
     {2, 3, 4, 14, 0},
     4,
     8,
     Keying::Plain,
     Keying::Plain,
     kQiXuQuestions},
    {4,
     "TanShi",
     "TANSHI",
     "痰湿体质",
     {9, 16, 28, 32, 0},
     4,
     8,
     Keying::Plain,
     Keying::Plain,
     kTanShiQuestions},
    {5,
     "ShiRe",
     "SHIRE",
     "湿热体质",
     {23, 25, 27, 30, 0},
     4,
     6,
     Keying::Plain,
     Keying::Plain,
     kShiReQuestions},
    {6,
     "XueYu",
     "XUEYU",
     "血瘀体质",
     {19, 22, 24, 33, 0},
     4,
     7,
     Keying::Plain,
     Keying::Plain,
     kXueYuQuestions},
    {7,
     "QiYu",
     "QIYU",
     "气郁体质",
     {5, 6, 7, 8, 0},
     4,
     7,
     Keying::Plain,
     Keying::Plain,
     kQiYuQuestions},
    {8,
     "TeBing",
     "TEBING",
     "特禀体质",
     {15, 17, 18, 20, 0},
     4,
     7,
     Keying::Plain,
     Keying::Plain,
     kTeBingQuestions},
    {9,
     "PingHe",
     "PINGHE",
     "平和体质",
     {1, 2, 4, 5, 13},
     5,
     8,
     Keying::PingHe33,
     Keying::PingHe66,
     kPingHeQuestions},
}};

// The type with the given code (1 to 9); nullptr for any other number.
const ConstitutionType *typeByCode(int code);

// The two summaries list PingHe first, then the biased types in code order.
inline constexpr std::array<int, kTypeCount> kSummaryOrder = {9, 1, 2, 3, 4, 5, 6, 7, 8};

// The five-step frequency scale, value 1 to 5.
struct AnswerLevel {
    int value;
    std::string_view word;
    std::string_view header33;            // column header on the 33-item page
    std::string_view headerQuestionnaire; // column header in the questionnaire window
};

inline constexpr std::array<AnswerLevel, 5> kAnswerScale = {{
    {1, "没有", "没有\r( 根本不 / \r从来没有 )", "没有\r( 根本不 )"},
    {2, "很少", "很少\r( 有一点 / \r偶尔 )", "很少\r( 有一点 )"},
    {3, "有时", "有时\r( 有些 / \r少数时间 )", "有时\r( 有些 )"},
    {4, "经常", "经常\r( 相当 / \r多数时间 )", "经常\r( 相当 )"},
    {5, "总是", "总是\r( 非常 / \r每天 )", "总是\r( 非常 )"},
}};

inline constexpr int kQuestionCount33 = 33;

// 33-item question texts, question 1 to 33 at index 0 to 32.
inline constexpr std::array<std::string_view, kQuestionCount33> kQuestions33 = {
    "您精力充沛吗？（指精神头足，乐于做事）",
    "您容易疲乏吗？（指体力如何，是否稍微活动一下\r或做一点家务劳动就感到累）",
    "您容易气短，呼吸短促，接不上气吗？",
    "您说话声音低弱无力吗？（指说话没有力气）",
    "您感到闷闷不乐、情绪低沉吗？\r（指心情不愉快，情绪低落）",
    "您容易精神紧张、焦虑不安吗？\r（指遇事是否心情紧张）",
    "您因为生活状态改变而感到孤独、失落吗？",
    "您容易感到害怕或受到惊吓吗？",
    "您感到身体沉重不轻松吗?（感觉身体沉重）\r[ BMI指数 = 体重（kg）/ 身高㎡ ]",
    "您眼睛干涩吗？",
    "您手脚发凉吗？（不包含周围温度低\r或穿的少导致的手脚发冷）",
    "您胃脘部、背部或腰膝部怕冷吗？\r（指上腹部、背部、腰部或膝关节等，有一处或多处怕冷）",
    "您比一般人耐受不了寒冷吗？\r（指比别人容易害怕冬天或是夏天的冷空调、电扇等）",
    "您容易患感冒吗？（指每年感冒的次数）",
    "您没有感冒时也会鼻塞、流鼻涕吗？",
    "您有口粘口腻，或睡眠打鼾吗？",
    "您容易过敏吗？（对药物、食物、气味、花粉\r或在季节交替、气候变化时）",
    "您的皮肤容易起荨麻疹吗？ \r（包括风团、风疹块、风疙瘩）",
    "您的皮肤在不知不觉中会出现青紫瘀斑、皮下出血吗？\r（指皮肤在没有外伤的情况下出现青一块紫一块的"
    "情况）",
    "您的皮肤一抓就红，并出现抓痕吗？\r（指被指甲或钝物划过后皮肤的反应）",
    "您皮肤或口唇干吗？",
    "您有肢体麻或固定部位疼痛的感觉吗？",
    "您面部或鼻部有油腻感或者油亮发光吗？\r（指脸上或鼻子）",
    "您面色或目眶晦黯，或出现褐色斑块/斑点吗？",
    "您有皮肤湿疹、疮疖吗？",
    "您感到口干咽燥、总想喝水吗？",
    "您感到口苦或嘴里有异味吗？\r（指口苦或口臭）",
    "您腹部肥大吗？（指腹部脂肪肥厚）",
    "您吃(喝)凉的东西会感到不舒服或者怕吃(喝)"
    "凉的东西吗？\r（指不喜欢吃凉的食物，或吃了凉的食物后会不舒服）",
    "您有大便黏滞不爽、解不尽的感觉吗？\r（大便容易粘在马桶上）",
    "您容易大便干燥吗？",
    "您舌苔厚腻或有舌苔厚厚的感觉吗？\r（如果自我感觉不清楚可由调查员观察后填写）",
    "您舌下静脉瘀紫或增粗吗？\r（可由调查员辅助观察后填写）",
};

// Questions whose answer buttons describe a measured band instead of "1" ... "5".
struct BandCaptions {
    int question;
    std::array<std::string_view, 5> captions; // value 1 to 5
};

inline constexpr std::array<BandCaptions, 4> kBandCaptions = {{
    {9,
     {"1（BMI \r＜ 24）", "2（24 <= \rBMI ＜ 25）", "3（25 <= \rBMI ＜ 26）",
      "4（26 <= \rBMI ＜ 28）", "5（BMI \r>= 28）"}},
    {14,
     {"1（一年 \r＜ 2次）", "2（一年感\r冒2-4次）", "3（一年感\r冒5-6次）", "4（一年8\r次以上）",
      "5（几乎每\r月都感冒）"}},
    {17,
     {"1（从来\r没有）", "2（一年\r1、2次）", "3（一年\r3、4次）", "4（一年\r5、6次）",
      "5（每次遇到\r上述原因\r都过敏）"}},
    {28,
     {"1（腹围 < \r80cm，相当\r于2.4尺）", "2（腹围80-\r85cm，2.4-\r2.55尺）",
      "3（腹围86-\r90cm，2.56-\r2.7尺）", "4（腹围91-\r105cm，2.71-\r3.15尺）",
      "5（腹围 > \r105cm，\r3.15尺）"}},
}};

// Caption of answer button `value` (1 to 5) of 33-item question `question` (1 to 33).
std::string answerCaption33(int question, int value);

// Name of the answer box of 33-item question k: "edtOriginal01" ... "edtOriginal33".
std::string answerBoxName33(int question);

inline constexpr std::string_view kTestType33 = "33项中医体质测试";
inline constexpr std::string_view kTestType66 = "66项中医体质测试";
inline constexpr std::string_view kInstruction = "请根据近一年的体验和感觉，回答以下问题";
inline constexpr std::string_view kReversedNote =
    "（注：标有*的条目需先逆向计分，即：1→5, 2→4, 3→3, 4→2, 5→1，再用公式转化分）";

// Verdict words.
inline constexpr std::string_view kVerdictYes = "是";
inline constexpr std::string_view kVerdictLeaning = "倾向是";   // biased types
inline constexpr std::string_view kVerdictBasically = "基本是"; // PingHe
inline constexpr std::string_view kVerdictNo = "否";

enum class Level { No, Leaning, Yes };

// Phrase of the verdict summary for a type at a level: PingHe opens the
// summary ("[平和体质]", "[基本是平和体质]", "[不是平和体质]"); a biased type
// adds " [阳虚体质]" or " [有阳虚体质倾向]", and nothing at Level::No.
std::string summaryPhrase(const ConstitutionType &type, Level level);

// Record field names of a type: "V_YANGXU_FIELD", "N_YANGXU_ORG",
// "N_YANGXU_CON", "V_YANGXU_RESULT".
std::string fieldName(const ConstitutionType &type);
std::string orgName(const ConstitutionType &type);
std::string conName(const ConstitutionType &type);
std::string resultName(const ConstitutionType &type);

} // namespace tizhi
