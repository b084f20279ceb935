#pragma once
// The main window object: owns the form (menus, controls, timers, canvas), the puzzle in
// play and every field the handlers and the main loop share. Handlers are named after
// their control and event; they run only inside a yield of the main loop.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/coach.h"
#include "app/fewest_search.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/random.h"
#include "play/kept_puzzle_file.h"
#include "play/piece_drawing.h"
#include "play/play_history.h"
#include "play/scorecard.h"
#include "play/sprite_frames.h"
#include "puzzle/puzzle_code.h"
#include "puzzle/puzzle_state.h"
#include "settings/best_results.h"
#include "settings/main_form.h"
#include "settings/settings_store.h"

namespace jumblix {

class Puzzlemaker : public MainForm {
 public:
  // `working_dir` holds the settings files and the picture folders.
  Puzzlemaker(EventLoop& loop, std::string working_dir = ".");
  ~Puzzlemaker();
  Puzzlemaker(const Puzzlemaker&) = delete;
  Puzzlemaker& operator=(const Puzzlemaker&) = delete;

  // ---- Startup and main loop (startup.cpp, main_loop.cpp)
  // Startup followed by the endless main loop; returns only by ProgramEnded.
  void Form_Activate();
  void startup();
  void run_pass();
  void title_puzzle_setup();
  void click_to_begin();
  void timer_rearm();
  void animation_frame();
  void Timer4_Timer();
  // What the game has to do by itself (now, pass after pass, or nothing until an event or a
  // timer tick changes something).
  Work next_work() const;
  void quit_Click();
  void Form_Unload();
  void Form_Terminate();

  // ---- New puzzle (new_puzzle.cpp)
  void makenewpuzzle();

  // ---- Computer solver and finishing (solver.cpp, finish.cpp)
  void solver_step();
  // The cell the solver turns once nothing is left to slide (the gap when nothing is turned).
  Cell stray_turn() const;
  void Timer1_Timer();
  void Timer2_Timer();
  void usolve_Click();
  void csolve_Click();
  void csolves_Click();
  bool finish_check() const;
  void finish_handling();

  // ---- Play (mouse_input.cpp, keyboard_input.cpp)
  void Form_MouseDown(int button, int shift, double x, double y);
  void Form_KeyDown(int key_code, int shift);
  void player_slide(int d, bool by_keyboard);
  void turn_piece(Cell cell);
  void computer_step();
  bool handle_key_action(int key);

  // ---- Picture and size chooser (chooser.cpp)
  void choosepicture_Click();
  void choosepicture2_Click();
  void File1_Click();
  void File2_Click();
  void Text1_KeyUp(int key);
  void Text2_KeyUp(int key);
  void Command1_Click();
  // What "Begin" does before its puzzle: `begun`, and the menus shown from then on.
  void begin_game();
  void Command2_Click();
  void Command3_Click();
  void newpuzzle_Click();
  // Ctrl+N before "New puzzle" is in the menus: on the title screen it does what the first
  // click does.
  void newpuzzle_Shortcut();
  void leave_title_screen();
  void prandom_Click();
  void pnrandom_Click();

  // ---- Full screen and back (full_screen.cpp)
  void Form_FullScreenChanged(bool full);
  bool board_fits_window() const;
  // The puzzle in play cut again for the drawing area as it is now, every piece in its place.
  void recut_board();

  // ---- "About Jumblix" (about.cpp)
  void about_Click();
  std::string about_text() const;

  // ---- The player's own pictures (own_pictures.cpp)
  void addpictures_Click();
  void Form_FilesDropped(const std::vector<std::string>& files);
  // Imports image files into the picture folder of their kind away from the window's thread
  // (the game goes on, the message line says how far it is), lists each new picture at once
  // and tells the player what came of it.
  void import_pictures(const std::vector<std::string>& files, bool animated);

  // ---- Option panels and toggles (colour_panels.cpp, time_panels.cpp, mode_toggles.cpp)
  void pcolour_Click();
  void dcolour_Click();
  void pcolour2_Click();
  void dcolour2_Click();
  void Command5_Click();
  void Command4_Click();
  void cpiece_Click();
  void cpicture_Click();
  void rpiece_Click();
  void Text4_KeyDown(int key);
  void Text5_KeyDown(int key);
  void Text6_KeyDown(int key);
  void tslow_Click();
  void tfast_Click();
  void yes_Click();
  void no_Click();
  void spictures_Click();
  void dspictures_Click();

  // ---- The player's count and clock, the fewest slides and the best results (scoring.cpp)
  // A new puzzle: counting starts afresh, and for a player's puzzle the fewest slides are
  // looked for.
  void begin_scoring();
  void score_slide();
  void score_turn();
  // B made a slide or turn for the player (counted as the player's): the puzzle is helped.
  void score_help();
  // The computer changed the board in a computer mode.
  void score_computer_change(bool slid);
  // The clock stands still while a panel or a dialog is open.
  void hold_clock(bool held);
  // The picture is complete: the clock stops and an unhelped finish may be a new best.
  void score_finish();
  // Takes the fewest slides when they are ready; never waits.
  void poll_fewest();
  void status_timer_Timer();
  void update_status();
  void bestresults_Click();
  void close_best_results();
  // Says `text` in the message line, after what it already says.
  void tell(const std::string& text);

  // ---- Undo, redo and restart (undo.cpp)
  void undo_Click();
  void redo_Click();
  void restart_Click();
  // The player may step back and forth now: his own puzzle in play and unfinished, the
  // computer not solving, no panel open and the moving picture not stopped.
  bool steps_allowed() const;
  // "Undo" and "Redo" grey while they would do nothing.
  void show_step_items();
  // Takes the last step of `from` back or makes it again (`make`), and keeps it on `to`.
  void step_across(std::vector<PlayStep>& from, std::vector<PlayStep>& to,
                   const std::function<bool(PuzzleState&, PlayCounts&, const PlayStep&)>& make);

  // ---- The puzzle kept when the game quits; a kept or shared puzzle waiting on the title
  // screen for the first click (kept_puzzle.cpp)
  // At startup: the kept puzzle is read (a damaged file is set aside and said).
  void read_kept_puzzle();
  // The game ends, or the desktop session asks for its data: the player's puzzle in play is
  // kept; one he handed to the computer is forgotten.
  void keep_puzzle();
  bool puzzle_waiting() const { return was_started == 0 && !waiting_declined && (kept_waiting || code_waiting); }
  // The click-to-begin step deals the waiting puzzle; false when none waits (or it failed).
  bool take_waiting_puzzle();
  void newinstead_Click();
  std::string kept_puzzle_path() const;

  // ---- Puzzle codes (puzzle_codes.cpp)
  void copycode_Click();
  void playcode_Click();
  void code_text_KeyDown(int key);
  // Deals exactly this board; the reason when it cannot be dealt (nothing has changed then).
  std::string play_shared_deal(const SharedDeal& deal);
  // The puzzle in play as dealt, as a code shares it.
  std::optional<SharedDeal> current_deal() const;
  // ---- The coach: slides to go, the hint, the shortest way shown and taken (coach.cpp)
  // The board changed: by slide d (the gap's direction code), by a turn (0), or by more than
  // one change (kBoardReplaced). Every change of the board in play comes through here.
  void coach_board_changed(int d = kBoardReplaced);
  void coach_new_puzzle();
  // The deal's fewest slides came (with their solution).
  void coach_fewest_ready();
  // The finished picture is shown (true) or gives way (false).
  void coach_finish_shown(bool shown);
  // A click or key of the player's: the hint's mark may go; true when it stopped the
  // shortest way being shown, and nothing else is to come of it.
  bool coach_player_action();
  // What the coach adds to the status line.
  std::string coach_status_text() const;
  // The next slide of a shortest way for B and the computer modes (0: none left), or nothing
  // when the computer keeps to its own way back.
  std::optional<int> shortest_way_slide() const;
  void slidestogo_Click();
  void shortestway_Click();
  void hint_Click();
  void showway_Click();
  void coach_timer_Timer();
  void hint_timer_Timer();
  void way_timer_Timer();
  CoachState coach;

  // ---- Helpers shared by several handlers (puzzlemaker.cpp)
  // input_latch = 0, then let the window system deliver pending events.
  void yield_input();
  // Greys or restores "Puzzle", "Solving options" and "Colour" while a panel is open.
  void set_panel_menus_enabled(bool enabled);
  SpriteView sprite_view() const;
  PieceSources piece_sources() const { return {background, sprite_view()}; }
  void draw_piece(Cell cell, int source_shrink = 0, bool after_turn = false);
  void erase_cell(Cell cell, int extra_right = 0);
  // Sets a setting variable from its file when the file holds a number.
  bool read_setting(const char* file, double& value) const;
  bool read_setting(const char* file, int& value) const;
  // Writes a setting's file. When it cannot be written and `what` names the setting for the
  // player ("The move time"), the window says so; quiet rewrites pass nothing.
  bool write_setting(const std::string& file, double value, const std::string& what = {});
  std::string regular_folder() const;
  std::string animation_folder() const;

  EventLoop& loop;
  Random random;
  SettingsStore settings;
  std::string working_dir;
  BestResults best_results{working_dir};

  PuzzleState puzzle;
  Picture background;       // the window's background picture: a regular puzzle is cut from it
  Picture title_picture;    // built-in 800 x 600 title screen
  Picture builtin_sprite;   // built-in 267 x 236 moving picture
  // File names of the pictures now held by the background and by Picture1.
  std::string background_name = "title1.bmp";
  std::string sprite_name = "title2.bmp";

  // Game phase and flags shared between the handlers and the main loop.
  int phase = 3;  // 3 playing, 4 finished picture shown, 0 / negative while a panel is open
  int saved_phase = 0;
  int solve_mode = 0;  // 0 player, 1 computer (regular mode), 2 computer (screensaver mode)
  int prev_solve_mode = 0;
  int started = 0;  // 0 title puzzle wanted, 5 title clicked, 1 normal play
  int was_started = 0;
  int input_latch = 0;
  int anim_off = 0;
  int anim_slow = 0;
  int anim_tick = 0;
  int tick_due = 0;
  int move_ready = 0;
  int picture_due = 0;
  int fresh_puzzle = 0;
  int solver_reset = 0;
  int puzzle_finished = 0;
  int begun = 0;
  int regular_chosen = 0;
  int computer_move = 0;
  // What the start panel says about a folder that could not be used at startup (empty: all well).
  std::string folder_problem;
  long long puzzles_made = 0;  // how many puzzles this run has made (for tests and figures)
  long long sprite_steps = 0;  // one-pixel steps of the moving picture (for figures)

  // Scoring of the puzzle in play.
  Scorecard score;
  ResultKey score_key;  // picture, size and rotation of the puzzle in play
  std::unique_ptr<FewestSearch> fewest_search = make_fewest_search();
  std::optional<FewestFigure> fewest;  // for the board as dealt
  bool fewest_waiting = false;         // a search is under way
  bool new_best_moves = false;         // said at the finish
  bool new_best_time = false;
  double status_shown_at = -1e18;      // when the status line was last brought up to date

  // The player's steps, for undo and redo, and the puzzle in play as it was dealt.
  std::vector<PlayStep> undo_steps, redo_steps;
  std::optional<BoardSnapshot> dealt_board;
  // Waiting on the title screen: the puzzle kept last time, a code from the command line.
  std::optional<KeptPuzzle> kept_waiting;
  std::optional<SharedDeal> code_waiting;
  bool waiting_declined = false;  // the player asked for a new puzzle instead
  std::string kept_problem;       // why the kept puzzle could not be brought back, until said

  // Options (settings files).
  int rotatable = 0;
  int no_saver_copy = 0;
  double move_time = 1;          // hundredths of a second
  double rotate_time = 1;        // hundredths of a second
  double new_picture_time = 100; // tenths of a second
  int default_puzzle_bg = 3;
  int default_picture_bg = 15;

  // Chooser state.
  int chosen_kind = 0;
  int saved_chosen_kind = 0;
  int kind_picked = 0;
  int pending_random_mode = 0;
  std::string saved_w_text, saved_h_text;

 private:
  void wire_handlers();
  void wire_coach();
  // The coach's parts (coach.cpp).
  void coach_follow(bool search);
  void coach_take_figure();
  void coach_poll_soon();
  // Whether the board still stands as it was dealt (the deal's search answers for it).
  bool coach_board_as_dealt() const;
  void show_hint_mark();
  void remove_hint_mark();
  void stop_showing_way();
  // makenewpuzzle's parts (new_puzzle.cpp).
  bool load_chosen_picture();
  // The picture of the puzzle's kind (`pic_kind`, `pic_name`) becomes the one in use.
  void hold_picture(Picture loaded);
  void apply_picture_colours();
  int size_from_text(TextBox& box);
  void place_sprite();
  // Per-picture colour files, read and rewritten (with the screensaver copy).
  void read_picture_colours();
  // Opens a colour panel with its code, prompt and the colour it edits (colour_panels.cpp).
  void open_colour_panel(int code, Label& prompt, int current, int forbidden);
  // Opens or closes a time panel (time_panels.cpp).
  void open_time_panel(Label& prompt, TextBox& box, double value);
  void time_panel_key(TextBox& box, int key, double& value, const char* file, bool zero_allowed);
  void arm(Timer& timer, double interval_ms);
  void finished_sprite_frame();
  // A board the next makenewpuzzle deals instead of a scramble, with its way back.
  struct DealToMake {
    SharedDeal deal;
    MoveList way_back;
    bool resumed = false;  // the kept puzzle coming back: its file stays until it is over
  };
  std::optional<DealToMake> deal_to_make;
  bool load_dealt_picture(const SharedDeal& deal);
  // makenewpuzzle's last step: the deal is remembered, the steps of the last puzzle dropped.
  void puzzle_dealt(bool resumed);
  // The puzzle is finished or replaced: nothing of it is kept.
  void puzzle_over();
  void remember_step(PlayStep step);
  void forget_steps();
  // Every change of the board other than a slide or turn as it is made (an undo, a redo, a
  // restart, a kept or shared puzzle dealt) ends here: the cells named, or with none the
  // whole board, are drawn again and the status line follows.
  void board_changed(const std::vector<Cell>& cells);
  void close_code_panel();
  SpriteFrames sprite_frames;  // frames of the moving picture not yet drawn
  // Whether the chooser or an option panel is over the finished picture (it stops gliding).
  bool panel_shown() const {
    return Label11.visible() || Label4.visible() || Label6.visible() || Label5.visible() || Option1.visible() ||
           best_table.visible() || code_prompt.visible();
  }
};

}  // namespace jumblix
