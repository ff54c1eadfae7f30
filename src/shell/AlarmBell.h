#pragma once
// The audible alarm: a short double beep, repeated until the operator silences it. Playing
// is asynchronous, so ringing never holds up a refresh; without a sound device (a server
// room PC, CI, Xvfb) the bell stays mute and says nothing.
#include <QObject>

class QSoundEffect;

class AlarmBell : public QObject {
  Q_OBJECT
 public:
  explicit AlarmBell(QObject* parent = nullptr);

  // `enabled` false ([ALARM_CONFIG] SOUND=0): Ring() never sounds.
  void SetEnabled(bool enabled);
  // Starts the repeat; ringing again while it rings changes nothing.
  void Ring();
  // Stops the repeat until the next Ring().
  void Silence();
  bool IsRinging() const { return ringing_; }

 signals:
  void ringingChanged(bool ringing);

 private:
  // The effect is made at the first ring, so a station that never alarms never opens audio.
  QSoundEffect* Effect();

  bool enabled_ = true;
  bool ringing_ = false;
  bool noDevice_ = false;
  QSoundEffect* effect_ = nullptr;
};
