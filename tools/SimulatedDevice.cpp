#include "SimulatedDevice.h"

#include <algorithm>

SimulatedDevice::SimulatedDevice(std::string id, std::string company, std::string department,
                                 DeviceBehaviour behaviour, std::uint32_t seed)
    : id_(std::move(id)), company_(std::move(company)), department_(std::move(department)),
      behaviour_(behaviour), random_(seed) {
  std::uniform_real_distribution<double> t(4.0, 28.0), h(30.0, 70.0);
  temperature_ = t(random_);
  humidity_ = h(random_);
  internal_ = temperature_ + 5.0;
}

double SimulatedDevice::Walk(double value, double step, double low, double high) {
  std::normal_distribution<double> delta(0.0, step);
  return std::clamp(value + delta(random_), low, high);
}

int AlarmCode(double value, double low, double high) {
  if (value > high) return 1;
  if (value < low) return 2;
  return 0;
}

SimReading SimulatedDevice::Step() {
  // Wide bounds so the walk wanders past the alarm limits now and then.
  temperature_ = Walk(temperature_, 0.8, -5.0, 38.0);
  humidity_ = Walk(humidity_, 1.5, 5.0, 95.0);
  internal_ = Walk(internal_, 0.3, temperature_ + 2.0, temperature_ + 9.0);
  std::uniform_real_distribution<double> noise(-0.05, 0.05);

  SimReading r{};
  r.temperature = temperature_;
  r.humidity = humidity_;
  r.internalTemperature = internal_;
  r.temperatureAlarm = AlarmCode(temperature_, kTemperatureLow, kTemperatureHigh);
  r.humidityAlarm = AlarmCode(humidity_, kHumidityLow, kHumidityHigh);
  r.power = 1;
  r.voltage = 220.0 + 4 * noise(random_) * 20;
  r.current = 35.0 + noise(random_) * 40;
  switch (behaviour_) {
    case DeviceBehaviour::SensorOffline:
      r.temperatureAlarm = r.humidityAlarm = 3;
      r.temperature = r.humidity = 0;
      break;
    case DeviceBehaviour::NoHumidity:
      r.humidityAlarm = 4;
      r.humidity = 0;
      break;
    case DeviceBehaviour::Battery:
      r.power = 0;
      r.voltage = 3.6 + noise(random_);
      r.current = 12.0 + noise(random_) * 10;
      break;
    case DeviceBehaviour::UnknownPower:
      r.power = 2;
      break;
    case DeviceBehaviour::Normal:
    case DeviceBehaviour::Silent:
      break;
  }
  return r;
}

DeviceBehaviour BehaviourForIndex(int index) {
  switch (index % 10) {
    case 3: return DeviceBehaviour::Battery;
    case 5: return index % 20 == 5 ? DeviceBehaviour::SensorOffline : DeviceBehaviour::NoHumidity;
    case 7: return DeviceBehaviour::Battery;
    case 8: return index % 20 == 8 ? DeviceBehaviour::Silent : DeviceBehaviour::UnknownPower;
    default: return DeviceBehaviour::Normal;
  }
}
