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
kinds+='|UpDown|TrackBar|Chart|Series|Animate|StaticText|LabeledEdit|DBGrid|DBEdit'
kinds+='|Action|ActionList|ImageList|Notebook|Gauge|ColorBox|DateTimePicker|PaintBox'
kinds+='|Form|DataModule'
# The same kinds as snake_case words (button2_click, on_button2_clicked, combo_box2).
snake='speed_?button|button|timer|check_?box|combo_?box|edit|memo|page_?control|group_?box'
snake+='|radio_?button|radio_?group|panel|label|list_?box|spin_?edit|tree_?view'
snake+='|progress_?bar|tool_?bar|status_?bar|com_?port|form|data_?module'
patterns=(
  # A kind with a number, alone or after a lower-case prefix (m_Edit1, x_Button2Click, TForm1).
  "(?<![A-Za-z])([a-z_]*|T)($kinds)[0-9]+"
  "(?i)(?<![a-z])(on_)?($snake)_?[0-9]+"
  '\bN[0-9]+Click\b'
  '\b[A-Za-z]*Btn(Click|Change)\b'
  '\bT[A-Za-z]*(Frm|Dlg)\b'
  '\bTccTfrm\b'
  '\b(TECXMLParser|TXMLItem|TXLSfile|TMy[A-Z][A-Za-z]*)\b'
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
