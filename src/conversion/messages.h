#pragma once

namespace modMain {

inline constexpr const wchar_t* InputOpenFailedText = L"Не удаётся открыть NRG файл.";
inline constexpr const wchar_t* OutputOpenFailedText = L"Не удаётся открыть ISO файл.";
inline constexpr const wchar_t* ReadFailedText = L"Не удаётся прочитать из NRG файла.";
inline constexpr const wchar_t* WriteFailedText = L"Не удаётся записать в ISO файл.";
inline constexpr const wchar_t* StopPromptText =
    L"Прервать конвертацию?\r\n\r\n"
    L"ISO файл, скорее всего, будет неполным и непригодным к использованию. Вы можете удалить его самостоятельно.";
inline constexpr const wchar_t* SuccessText = L"NRG файл сконвертирован успешно ^_^v";
inline constexpr const wchar_t* SizeMismatchText =
    L"Что-то пошло не так! NRG файл сконвертирован, но размер отличается от ожидаемого.";

}  // namespace modMain
