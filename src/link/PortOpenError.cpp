#include "link/PortOpenError.h"

#include "link/NetworkName.h"

namespace zor {

namespace {

std::string accessText(const OpenFailure& f)
{
    // Adding someone to root's group is no advice to give.
    if (f.group.empty() || f.group == "root")
        return "Нет доступа к порту " + f.port
            + ": у пользователя нет прав на чтение и запись. Попросите администратора дать их.";
    const std::string user = f.user.empty() ? "$USER" : f.user;
    return "Нет доступа к порту " + f.port + ": он принадлежит группе " + f.group
        + ". Добавьте пользователя в эту группу (sudo usermod -aG " + f.group + " " + user
        + "), затем выйдите из системы и войдите снова.";
}

std::string busyText(const OpenFailure& f)
{
    std::string text = "Порт " + f.port + " занят "
        + (f.holder.empty() ? std::string("другой программой") : "программой " + f.holder)
        + ". Закройте её и повторите.";
    if (f.modemManager)
        text += " " + ModemManagerText(f.port);
    return text;
}

std::string missingText(const OpenFailure& f)
{
    std::string text = "Порт " + f.port
        + " не найден: устройство отключено. Подключите его и выберите порт в обновлённом списке портов.";
    if (!f.brlttyAdapter.empty())
        text += " " + BrlttyText(f.brlttyAdapter, f.port);
    return text;
}

} // namespace

std::string BrlttyText(const std::string& adapter, const std::string& port)
{
    return "Адаптер " + adapter + " (" + port
        + ") пропал сразу после подключения: его забирает служба brltty для брайлевских дисплеев. Удалите её "
          "(sudo apt remove brltty) и подключите адаптер снова.";
}

std::string ModemManagerText(const std::string& port)
{
    return "Новые порты ttyACM в первые секунды после подключения опрашивает ModemManager: порт " + port
        + " может быть занят, а ответы искажены. Подождите несколько секунд и повторите; если это мешает, "
          "остановите его (sudo systemctl stop ModemManager).";
}

std::string OpenFailureText(const OpenFailure& f)
{
    switch (f.error) {
    case PortError::AccessDenied:
        return accessText(f);
    case PortError::Busy:
        return busyText(f);
    case PortError::NotFound:
        return missingText(f);
    case PortError::NotATerminal:
        return f.port + " — не последовательный порт. Выберите другой порт в списке портов.";
    case PortError::InvalidSetting:
    case PortError::Unsupported:
        return "Порт " + f.port + " не принимает настройки линии. Измените их кнопкой «...» и повторите.";
    case PortError::Io:
    case PortError::Lost:
        return "Порт " + f.port
            + " не отвечает (ошибка ввода-вывода). Отключите адаптер, подключите снова и повторите.";
    case PortError::OutOfResources:
        return "Не удалось открыть порт " + f.port
            + ": системе не хватает ресурсов. Закройте лишние программы и повторите.";
    case PortError::BadAddress:
        return f.port
            + " — не сетевой адрес. Укажите его в виде tcp://УЗЕЛ:ПОРТ (Modbus TCP) или rtu-tcp://УЗЕЛ:ПОРТ (RTU "
              "поверх TCP).";
    case PortError::HostUnknown:
        return "Узел сетевого порта " + f.port + " не найден. Проверьте имя или IP-адрес преобразователя.";
    case PortError::Refused:
        return "Сетевой порт " + f.port
            + " не принимает соединение: на этом порту узла никто не ждёт подключения. Проверьте номер порта и "
              "настройки преобразователя и повторите.";
    case PortError::Unreachable:
        return "Узел сетевого порта " + f.port
            + " недоступен: нет пути к нему по сети. Проверьте сетевое подключение и IP-адрес преобразователя.";
    case PortError::TimedOut:
        return "Сетевой порт " + f.port + " не отвечает: соединение не установлено за "
            + std::to_string(kConnectTimeoutMs / 1000)
            + " с. Проверьте, что преобразователь включён и доступен по "
              "сети, и повторите.";
    case PortError::None:
    case PortError::Other:
        break;
    }
    return "Не удалось открыть порт " + f.port + ". Проверьте подключение адаптера и повторите.";
}

} // namespace zor
