#include "AlarmBell.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {
const QUrl kAlarmSound(QStringLiteral("qrc:/sounds/alarm.wav"));
constexpr float kVolume = 0.8f;
}  // namespace

AlarmBell::AlarmBell(QObject* parent) : QObject(parent) {}

void AlarmBell::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled_) Silence();
}

QSoundEffect* AlarmBell::Effect() {
  if (effect_ || noDevice_) return effect_;
  if (QMediaDevices::audioOutputs().isEmpty()) {
    noDevice_ = true;
    return nullptr;
  }
  effect_ = new QSoundEffect(this);
  effect_->setSource(kAlarmSound);
  effect_->setLoopCount(QSoundEffect::Infinite);
  effect_->setVolume(kVolume);
  return effect_;
}

void AlarmBell::Ring() {
  if (!enabled_ || ringing_) return;
  ringing_ = true;
  // Until the sound is loaded, play() only marks it to start once it is.
  if (QSoundEffect* effect = Effect()) effect->play();
  emit ringingChanged(true);
}

void AlarmBell::Silence() {
  if (!ringing_) return;
  ringing_ = false;
  if (effect_) effect_->stop();
  emit ringingChanged(false);
}
