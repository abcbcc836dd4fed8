#!/usr/bin/env bash
# Names say what a thing does: no numbered control names (a control kind
# followed by a number, such as Button2Click or ComboBox2), no window
# classes named T...Frm / T...Dlg, and no form event names, anywhere in
# the sources, the tests or the benchmarks.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root"

kinds='SpeedButton|BitBtn|Button|Timer|CheckBox|ComboBox|MaskEdit|Edit|Memo|RichEdit'
kinds+='|PageControl|TabSheet|GroupBox|RadioGroup|RadioButton|Panel|Label|ListBox|ListView'
kinds+='|CSpinEdit|SpinEdit|TreeView|ProgressBar|ToolBar|StatusBar|StringGrid|Image|Shape'
kinds+='|Bevel|Splitter|ScrollBox|MainMenu|PopupMenu|MenuItem|OpenDialog|SaveDialog|ComPort'
kinds+='|UpDown|TrackBar|Chart|Series|Animate|StaticText|LabeledEdit|DBGrid|DBEdit|Frame'
kinds+='|Action|ActionList|ImageList|Notebook|Gauge|ColorBox|DateTimePicker|PaintBox|Timer'
patterns=(
  "\\b[A-Za-z_]*($kinds)[0-9]+"
  '\bN[0-9]+Click\b'
  '\b[A-Za-z]*Btn(Click|Change)\b'
  '\bT[A-Za-z]*(Frm|Dlg)\b'
  '\bTccTfrm\b'
  '\bT(EC|XML|XLS|My)[A-Za-z]*\b'
  '\bForm(Activate|Close|Show|Create|Destroy|Resize|KeyDown|KeyPress)\b'
)

found=0
for pattern in "${patterns[@]}"; do
  if grep -rInP --exclude-dir=corpus --exclude="$(basename "$0")" "$pattern" src tests bench; then
    found=1
  fi
done
if [ "$found" -ne 0 ]; then
  echo "control_names: the names above come from a form designer; name them after what they do" >&2
  exit 1
fi
echo "control_names: no numbered control names"
