#include "host/music/mci.h"

const char* const kMciEmptyCommandText = "コマンド文字列が指定されていません";
const char* const kMciNoDescriptionText = "Error (文字列が取れません)";

int32_t MciSend(Lumen_Ribbon_BGM& bgm, const std::string& command, std::string& answer) {
    if (command.empty()) {
        answer = kMciEmptyCommandText;
        return -1;
    }
    // The buffers are not cleared first: what the system writes lands at their start.
    const int32_t code = bgm.sound.SendCommand(command, bgm.MciReturnText.data(),
                                               static_cast<uint32_t>(bgm.MciReturnText.size()));
    bgm.ApiResult = code;
    if (code != 0) {
        const bool described = bgm.sound.DescribeError(
            code, bgm.MciErrorText.data(), static_cast<uint32_t>(bgm.MciErrorText.size()));
        answer = described ? BufferText(bgm.MciErrorText) : kMciNoDescriptionText;
        return code;
    }
    answer = BufferText(bgm.MciReturnText);
    return 0;
}

std::string MciQuery(Lumen_Ribbon_BGM& bgm, const std::string& command) {
    const int32_t code = MciSend(bgm, command, bgm.MciAnswer);
    bgm.ApiResult = code;
    if (code != 0) return "Error:" + std::to_string(code);
    return bgm.MciAnswer;
}

int32_t MciPlay(Lumen_Ribbon_BGM& bgm, const std::string& device, const std::string& from,
                const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return MciSend(bgm, command, bgm.MciAnswer);
}
