#include "app/connecthandlers.h"

#include <QAction>
#include <QPushButton>

#include <functional>
#include <span>

#include "app/tform1.h"
#include "platform/tapplication.h"

namespace {

// Buttons and menu items; each handler runs through the general error handler.
void ConnectCommands(TForm1& form) {
    const struct {
        QObject* control;
        void (TForm1::*handler)();
    } commands[] = {
        {form.BtnPlay, &TForm1::BtnPlayClick},
        {form.btnpause, &TForm1::btnpauseClick},
        {form.btnstop, &TForm1::btnstopClick},
        {form.btnnext, &TForm1::btnnextClick},
        {form.btnprev, &TForm1::btnprevClick},
        {form.btn[19], &TForm1::btnnextClick},
        {form.BitBtn1, &TForm1::BitBtn1Click},
        {form.BitBtn2, &TForm1::BitBtn1Click},
        {form.BitBtn3, &TForm1::BitBtn3Click},
        {form.BitBtn4, &TForm1::BitBtn4Click},
        {form.BitBtn6, &TForm1::BitBtn6Click},
        {form.BitBtn7, &TForm1::BitBtn7Click},
        {form.OpenFile1, &TForm1::OpenFile1Click},
        {form.Exit1, &TForm1::Exit1Click},
        {form.Play3, &TForm1::Play3Click},
        {form.Pause1, &TForm1::Pause1Click},
        {form.Stop1, &TForm1::Stop1Click},
        {form.Next1, &TForm1::Next1Click},
        {form.Prev1, &TForm1::Prev1Click},
        {form.StartofList1, &TForm1::StartofList1Click},
        {form.EndofList1, &TForm1::EndofList1Click},
        {form.VolumeMax1, &TForm1::VolumeMax1Click},
        {form.VolumeMin1, &TForm1::VolumeMin1Click},
        {form.ShowPlaylist1, &TForm1::ShowPlaylist1Click},
        {form.HidePlaylist1, &TForm1::HidePlaylist1Click},
        {form.StopScrollingTitle1, &TForm1::StopScrollingTitle1Click},
        {form.About2, &TForm1::About2Click},
        {form.ReadmeFile1, &TForm1::ReadmeFile1Click},
        {form.SoundCardDetections1, &TForm1::SoundCardDetections1Click},
        {form.VGACardDetections1, &TForm1::VGACardDetections1Click},
        {form.YourWindowsInfo1, &TForm1::YourWindowsInfo1Click},
        {form.InfoBox1, &TForm1::InfoBox1Click},
        {form.Add1, &TForm1::Add1Click},
        {form.Play1, &TForm1::Play1Click},
        {form.Delete1, &TForm1::Delete1Click},
    };
    for (const auto& command : commands) {
        const auto run =
            guarded([&form, handler = command.handler](auto&&...) { (form.*handler)(); }, &form);
        if (auto* button = qobject_cast<QAbstractButton*>(command.control)) {
            QObject::connect(button, &QAbstractButton::clicked, &form, run);
        } else {
            QObject::connect(qobject_cast<QAction*>(command.control), &QAction::triggered, &form,
                             run);
        }
    }
    for (QPushButton* button : std::span(form.btn).first(19)) {
        QObject::connect(button, &QAbstractButton::clicked, &form,
                         guarded([&form, button](auto&&...) { form.btn1Click(button); }, &form));
    }
}

}  // namespace

void ConnectHandlers(TForm1& form) {
    ConnectCommands(form);
    // Setting the box from code runs its handler whenever the state changes.
    QObject::connect(form.CheckBox2, &QCheckBox::toggled, &form,
                     guarded([&form](auto&&...) { form.CheckBox2Click(); }, &form));
    // Loop back and the volume live in the playlist; the box and the slider show them.
    QObject::connect(form.Checkbox1, &QCheckBox::toggled, form.Playlist, &TPlaylist::SetLoopBack);
    QObject::connect(form.Playlist, &TPlaylist::LoopBackChanged, form.Checkbox1,
                     &QCheckBox::setChecked);
    QObject::connect(form.Playlist, &TPlaylist::VolumeChanged, &form,
                     guarded([&form](int volume) { form.Slider1->SetValue(volume); }, &form));

    // The sliders and the list box run their own events through the general error handler
    // when the user causes them; a change made from code reaches the code that made it.
    form.Slider1->OnChange = std::bind_front(&TForm1::Slider1Change, &form);
    form.Slider2->OnChange = std::bind_front(&TForm1::Slider2Change, &form);
    form.Slider2->OnStartTracking = std::bind_front(&TForm1::Slider2StartTracking, &form);
    form.Slider2->OnStopTracking = std::bind_front(&TForm1::Slider2StopTracking, &form);
    form.List2->OnFileDropped = std::bind_front(&TForm1::List2FileDropped, &form);
    form.List2->OnKeyDown = std::bind_front(&TForm1::List2KeyDown, &form);
    form.List2->OnDblClick = std::bind_front(&TForm1::List2DblClick, &form);
    form.List2->OnDrawItem = std::bind_front(&TForm1::List2DrawItem, &form);
    form.List2->OnMouseDown = std::bind_front(&TForm1::List2MouseDown, &form);
    form.List2->OnMouseUp = std::bind_front(&TForm1::List2MouseUp, &form);
    QObject::connect(
        form.List2, &QWidget::customContextMenuRequested, &form,
        guarded(
            [&form](const QPoint& pos) { form.PopupMenu1->popup(form.List2->mapToGlobal(pos)); },
            &form));
}
